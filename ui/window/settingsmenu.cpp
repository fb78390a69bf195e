#include "ui/window/settingsmenu.h"

#include "engine/run/exporter.h"
#include "ui/dialogs/filedialog.h"
#include "ui/dialogs/messagebox.h"
#include "ui/dialogs/settingdialog.h"
#include "ui/dialogs/settingwords.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace kestrune {

namespace {

using Setting = SettingsMenu::Setting;

struct MenuItem
{
    QString text;
    const char *objectName;
};

MenuItem ItemOf(Setting setting)
{
    switch (setting) {
    case Setting::Host:
        return {HostMenuItem(), "HostItem"};
    case Setting::CaFile:
        return {CaFileMenuItem(), "CaFileItem"};
    case Setting::Retries:
        return {RetriesMenuItem(), "RetriesItem"};
    case Setting::Timeout:
        return {TimeoutMenuItem(), "TimeoutItem"};
    }
    return {};
}

// `value` as the setting, the others as they are.
ForumSettings Changes(Setting setting, const QString &value)
{
    ForumSettings changed;
    switch (setting) {
    case Setting::Host:
        changed.host = value;
        break;
    case Setting::CaFile:
        changed.caFile = value;
        break;
    case Setting::Retries:
        changed.retries = value;
        break;
    case Setting::Timeout:
        changed.timeout = value;
        break;
    }
    return changed;
}

} // namespace

SettingsMenu::SettingsMenu(Exporter &exporter, QWidget *window)
    : QMenu(window)
    , exporter_(exporter)
{
    setObjectName(QStringLiteral("ContextMenu"));
    // One row a setting; each opens its own dialog.
    QList<QAction *> settingActions;
    for (const Setting setting :
         {Setting::Host, Setting::CaFile, Setting::Retries, Setting::Timeout}) {
        const MenuItem item = ItemOf(setting);
        settingActions << addAction(item.text, this, [this, setting] { ChangeSetting(setting); });
        settingActions.constLast()->setObjectName(QLatin1String(item.objectName));
    }
    addSeparator();
    settingActions << addAction(FolderMenuItem(), this, &SettingsMenu::ChooseFolder);
    settingActions.constLast()->setObjectName(QStringLiteral("FolderItem"));
    tableItem_ = addAction(TableMenuItem());
    tableItem_->setObjectName(QStringLiteral("TableItem"));
    tableItem_->setCheckable(true);
    tableItem_->setChecked(true);
    connect(tableItem_, &QAction::triggered, this, &SettingsMenu::ChooseTable);
    settingActions << tableItem_;
    addAction(QStringLiteral("打开结果所在文件夹"), this, &SettingsMenu::OpenResultsFolder)
        ->setObjectName(QStringLiteral("OpenFolderItem"));
    // Only reads tables: open during a run too.
    addAction(QStringLiteral("比较两次导出…"), this, &SettingsMenu::compareRequested)
        ->setObjectName(QStringLiteral("CompareItem"));
    addAction(QStringLiteral("关于 Kestrune"), this, &SettingsMenu::ShowAbout)
        ->setObjectName(QStringLiteral("AboutItem"));
    connect(this, &QMenu::aboutToShow, this, [this, settingActions] {
        for (QAction *action : settingActions)
            action->setEnabled(!exporter_.IsRunning());
    });
}

SettingsMenu::~SettingsMenu() = default;

void SettingsMenu::UseSettings(const SettingsStore &settings, bool askForHost,
                               const ResultPlace &results)
{
    settings_ = settings;
    askForHost_ = askForHost;
    if (!results.folder.isEmpty())
        exporter_.SetDirectory(QDir(results.folder));
    tableItem_->setChecked(results.table);
    emit tableChoiceChanged(results.table);
    emit folderChanged(exporter_.Directory().absolutePath());
}

bool SettingsMenu::TableOn() const
{
    return tableItem_->isChecked();
}

SettingDialog *SettingsMenu::DialogFor(Setting setting)
{
    switch (setting) {
    case Setting::Host:
        // Until the forum is chosen the sample forum's address is no answer
        // to offer.
        return SettingDialog::ForHost(parentWidget(), askForHost_ ? QString() : exporter_.Host());
    case Setting::CaFile:
        return SettingDialog::ForCaFile(parentWidget(), exporter_.CaFile());
    case Setting::Retries:
        return SettingDialog::ForRetries(parentWidget(), exporter_.Retries());
    case Setting::Timeout:
        return SettingDialog::ForTimeout(parentWidget(), exporter_.TimeoutSeconds());
    }
    return nullptr;
}

void SettingsMenu::UseSetting(Setting setting, const QString &value)
{
    switch (setting) {
    case Setting::Host:
        exporter_.SetHost(value);
        askForHost_ = false;
        break;
    case Setting::CaFile:
        exporter_.SetCaFile(value);
        break;
    case Setting::Retries:
        exporter_.SetRetries(value.toInt());
        break;
    case Setting::Timeout:
        exporter_.SetTimeoutSeconds(value.toInt());
        break;
    }
}

void SettingsMenu::ChangeSetting(Setting setting, const std::function<void()> &then)
{
    SettingDialog *dialog = DialogFor(setting);
    connect(dialog, &QDialog::accepted, this, [this, dialog, setting, then] {
        const QString value = dialog->Value();
        UseSetting(setting, value);
        if (dialog->Remember())
            Store(Changes(setting, value), then);
        else if (then)
            then();
    });
    dialog->open();
}

void SettingsMenu::Store(const ForumSettings &changes, const std::function<void()> &then)
{
    const std::optional<SettingsWriteError> error = settings_.Write(changes);
    if (!error) {
        if (then)
            then();
        return;
    }
    MessageBox::Show(
        parentWidget(), MessageBox::Kind::Error,
        DescribeStartupErrorInWindow(
            {StartupError::Kind::NotSaved, {}, {}, error->file, error->reason}, exporter_.Host()),
        [then](MessageBox::Answer) {
            if (then)
                then();
        });
}

void SettingsMenu::ChooseFolder()
{
    const QString chosen =
        FileDialog::ChooseFolder(parentWidget(), QStringLiteral("选择存放结果的文件夹"),
                                 exporter_.Directory().absolutePath());
    if (chosen.isEmpty())
        return;
    const QString folder = QDir(chosen).absolutePath();
    exporter_.SetDirectory(QDir(folder));
    emit folderChanged(folder);
    Store({.folder = folder});
}

void SettingsMenu::ChooseTable(bool on)
{
    emit tableChoiceChanged(on);
    Store({.table = on ? QStringLiteral("1") : QStringLiteral("0")});
}

void SettingsMenu::OpenResultsFolder()
{
    const QString folder = exporter_.Directory().absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        MessageBox::Show(
            parentWidget(), MessageBox::Kind::Error,
            QStringLiteral("无法打开文件夹 %1。\n结果文件 jieguo.txt 就在这个文件夹中，"
                           "可以在文件管理器（如资源管理器）中找到它。")
                .arg(QDir::toNativeSeparators(folder)));
}

void SettingsMenu::ShowAbout()
{
    MessageBox::Show(parentWidget(), MessageBox::Kind::Plain,
                     QStringLiteral("Kestrune %1\n把论坛的会员排名导出到 jieguo.txt。\n\n"
                                    "许可证：MIT\n设置文件：%2")
                         .arg(QCoreApplication::applicationVersion(),
                              QDir::toNativeSeparators(settings_.File())));
}

} // namespace kestrune
