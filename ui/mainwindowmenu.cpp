// The window's context menu and the settings it reaches.
#include "ui/mainwindow.h"
#include "ui/messagebox.h"
#include "ui/settingdialog.h"
#include "ui/settingwords.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>
#include <array>

namespace kestrune {

void MainWindow::BuildContextMenu()
{
    // One row a setting; each opens its own dialog.
    const std::pair<QString, Setting> settings[] = {
        {HostMenuItem(), Setting::Host},
        {CaFileMenuItem(), Setting::CaFile},
        {RetriesMenuItem(), Setting::Retries},
        {TimeoutMenuItem(), Setting::Timeout},
    };
    contextMenu_->setObjectName(QStringLiteral("ContextMenu"));
    for (const auto &[text, setting] : settings)
        settingActions_ << contextMenu_->addAction(
            text, this, [this, which = setting] { ChangeSetting(which); });
    contextMenu_->addSeparator();
    contextMenu_->addAction(QStringLiteral("打开结果所在文件夹"), this,
                            &MainWindow::OpenResultsFolder);
    contextMenu_->addAction(QStringLiteral("关于 Kestrune"), this, &MainWindow::ShowAbout);
    connect(contextMenu_, &QMenu::aboutToShow, this, [this] {
        for (QAction *action : std::as_const(settingActions_))
            action->setEnabled(!exporter_.IsRunning());
    });
}

void MainWindow::UseSettings(const SettingsStore &settings, bool askForHost)
{
    settings_ = settings;
    askForHost_ = askForHost;
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    contextMenu_->popup(event->globalPos());
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Only some platforms turn Shift+F10 into a menu request: it goes to the
    // focused control as the Menu key would, so a box keeps its own menu.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        const QPoint centre = target->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, target->mapToGlobal(centre));
        QCoreApplication::sendEvent(target, &request);
        return;
    }
    QWidget::keyPressEvent(event);
}

SettingDialog *MainWindow::DialogFor(Setting setting)
{
    switch (setting) {
    case Setting::Host:
        // Until the forum is chosen the sample forum's address is no answer
        // to offer.
        return SettingDialog::ForHost(this, askForHost_ ? QString() : exporter_.Host());
    case Setting::CaFile:
        return SettingDialog::ForCaFile(this, exporter_.CaFile());
    case Setting::Retries:
        return SettingDialog::ForRetries(this, exporter_.Retries());
    case Setting::Timeout:
        return SettingDialog::ForTimeout(this, exporter_.TimeoutSeconds());
    }
    return nullptr;
}

void MainWindow::UseSetting(Setting setting, const QString &value)
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

void MainWindow::ChangeSetting(Setting setting, const std::function<void()> &then)
{
    SettingDialog *dialog = DialogFor(setting);
    connect(dialog, &QDialog::accepted, this, [this, dialog, setting, then] {
        const QString value = dialog->Value();
        UseSetting(setting, value);
        ForumSettings stored;
        const std::array fields{&ForumSettings::host, &ForumSettings::caFile,
                                &ForumSettings::retries, &ForumSettings::timeout};
        stored.*fields.at(static_cast<std::size_t>(setting)) = value;
        const std::optional<SettingsWriteError> error =
            dialog->Remember() ? settings_.Write(stored) : std::nullopt;
        if (!error) {
            if (then)
                then();
            return;
        }
        const QMessageBox *box =
            MessageBox::Show(this, MessageBox::Kind::Error,
                             DescribeStartupErrorInWindow(
                                 {StartupError::Kind::NotSaved, {}, {}, error->file, error->reason},
                                 exporter_.Host()));
        if (then)
            connect(box, &QDialog::finished, this, then);
    });
    dialog->open();
}

void MainWindow::OpenResultsFolder()
{
    const QString folder = exporter_.Directory().absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        MessageBox::Show(
            this, MessageBox::Kind::Error,
            QStringLiteral("无法打开文件夹 %1。\n结果文件 jieguo.txt 就在这个文件夹中，"
                           "可以在文件管理器（如资源管理器）中找到它。")
                .arg(QDir::toNativeSeparators(folder)));
}

void MainWindow::ShowAbout()
{
    MessageBox::Show(this, MessageBox::Kind::Plain,
                     QStringLiteral("Kestrune %1\n把论坛的会员排名导出到 jieguo.txt。\n\n"
                                    "许可证：MIT\n设置文件：%2")
                         .arg(QCoreApplication::applicationVersion(),
                              QDir::toNativeSeparators(settings_.File())));
}

} // namespace kestrune
