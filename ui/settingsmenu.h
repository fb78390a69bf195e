#pragma once

#include "startup/settingsstore.h"

#include <QMenu>
#include <functional>

namespace kestrune {

class Exporter;
class SettingDialog;

// The window's context menu: the settings the exporter uses, each asked for
// in its own dialog and, with 记住, kept in the settings file; the results'
// folder; the version. A run disables the settings.
class SettingsMenu final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsMenu)

public:
    enum class Setting
    {
        Host,
        CaFile,
        Retries,
        Timeout,
    };

    // Its dialogs and boxes open over `window`.
    SettingsMenu(Exporter &exporter, QWidget *window);
    ~SettingsMenu() override;

    // Where the settings are stored; `askForHost`: nothing chose the forum
    // yet, so the first export asks for its address.
    void UseSettings(const SettingsStore &settings, bool askForHost);
    bool AsksForHost() const { return askForHost_; }
    // Asks for the setting; once answered it is used and, with 记住, stored;
    // `then` runs after that, and after any box it brought up.
    void ChangeSetting(Setting setting, const std::function<void()> &then = {});
    void OpenResultsFolder();

private:
    SettingDialog *DialogFor(Setting setting);
    // For the next run; a count comes as its digits.
    void UseSetting(Setting setting, const QString &value);
    void ShowAbout();

    Exporter &exporter_;
    SettingsStore settings_;
    bool askForHost_ = false;
};

} // namespace kestrune
