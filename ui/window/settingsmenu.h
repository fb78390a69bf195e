#pragma once

#include "startup/settingsstore.h"
#include "startup/startup.h"

#include <QMenu>
#include <functional>

namespace kestrune {

class Exporter;
class SettingDialog;

// The window's context menu: the settings the exporter uses, each asked for
// in its own dialog and, with 记住, kept in the settings file; where the
// results go and whether a table goes with them, always kept; the results'
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
    // yet, so the first export asks for its address; `results` as start-up
    // found them (an empty folder leaves the exporter's).
    void UseSettings(const SettingsStore &settings, bool askForHost,
                     const ResultPlace &results = {});
    bool AsksForHost() const { return askForHost_; }
    // A continued run brings its forum's address: nothing to ask.
    void HostKnown() { askForHost_ = false; }
    // Whether a run also writes the table.
    bool TableOn() const;
    // Asks for the setting; once answered it is used and, with 记住, stored;
    // `then` runs after that, and after any box it brought up.
    void ChangeSetting(Setting setting, const std::function<void()> &then = {});
    void OpenResultsFolder();

signals:
    // At start-up too, so one connection keeps the exporter in step.
    void tableChoiceChanged(bool on);
    // The results folder the next run uses, at start-up too.
    void folderChanged(const QString &folder);
    // 比较两次导出… was chosen.
    void compareRequested();

private:
    SettingDialog *DialogFor(Setting setting);
    // For the next run; a count comes as its digits.
    void UseSetting(Setting setting, const QString &value);
    // Writes `changes`; a box tells when the file cannot be written. `then`
    // runs after that.
    void Store(const ForumSettings &changes, const std::function<void()> &then = {});
    void ChooseFolder();
    void ChooseTable(bool on);
    void ShowAbout();

    Exporter &exporter_;
    SettingsStore settings_;
    bool askForHost_ = false;
    QAction *tableItem_ = nullptr; // child
};

} // namespace kestrune
