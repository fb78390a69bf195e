#pragma once

#include "engine/exporter.h"
#include "engine/exportinputs.h"
#include "engine/timeleft.h"
#include "startup/settingsstore.h"

#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QPushButton;

namespace kestrune {

class Clock;
class SettingDialog;
class StatusBar;
class UpDown;

// Form1: the boxes an export reads, the Export/Stop button and the progress
// line. Owns one Exporter for its whole life, so numbering runs on across
// exports.
class MainWindow final : public QWidget, public ExportInputs
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    static constexpr int ClientWidth = 312;
    static constexpr int ClientHeight = 209;

    explicit MainWindow(QWidget *parent = nullptr);
    // The clock times the pause between pages and the fetch timeout.
    explicit MainWindow(const Clock &clock, QWidget *parent = nullptr);
    ~MainWindow() override;

    // For the host and the directory; the window keeps the only one.
    Exporter &Engine() { return exporter_; }
    // Where the menu's settings are stored; `askForHost`: nothing chose the
    // forum yet, so the first export asks for its address.
    void UseSettings(const SettingsStore &settings, bool askForHost);

    QString ForumName() const override;
    QString FromRank() const override;
    QString ToRank() const override;
    QString Delay() const override;

    static QString CreditLine();

public slots:
    // Command1: starts an export, or stops the one in progress.
    void StartOrStopExport();
    void SyncSpinToDelay(int value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // In the order of ForumSettings' fields.
    enum class Setting
    {
        Host,
        CaFile,
        Retries,
        Timeout,
    };
    void BuildContextMenu();
    SettingDialog *DialogFor(Setting setting);
    // For the next run; a count comes as its digits.
    void UseSetting(Setting setting, const QString &value);
    // Asks for the setting; once answered it is used and, with 记住, stored;
    // `then` runs after that, and after any box it brought up.
    void ChangeSetting(Setting setting, const std::function<void()> &then = {});
    void OpenResultsFolder();
    void ShowAbout();
    void OnPageStarted(qint64 page);
    void OnPageFinished(qint64 page, qint64 namesWritten);
    void OnCompleted(const QString &message, const kestrune::RunReport &report);
    void OnFailed(const kestrune::ExportFailure &failure);
    void ShowProgress(const QString &state, qint64 page, qint64 pagesDone, qint64 namesWritten);
    void ShowIdle();
    // What a run that began and did not complete left behind.
    void ShowRunEnd(const kestrune::ExportFailure &failure);
    void ShowTimeLeft(qint64 pagesDone);
    // Once the box has gone, the focus is in the box that cannot be used,
    // its text selected to be typed over.
    void SelectBadInputAfter(QMessageBox *box, const kestrune::ExportFailure &failure);
    // The error box's second choice: the from-rank box, then a run at once.
    void ResumeFrom(qint64 rank);

    QPushButton *exportButton_; // Command1 (children of the window)
    QLineEdit *forumNameEdit_;  // Text1
    QLineEdit *fromRankEdit_;   // Text2
    QLineEdit *toRankEdit_;     // Text3
    UpDown *delaySpin_;         // UpDown1
    QLineEdit *delayEdit_;      // Text4
    StatusBar *statusBar_;      // StatusBar1

    QMenu *contextMenu_; // child
    // In contextMenu_; a run disables them.
    QList<QAction *> settingActions_;
    Exporter exporter_;
    const Clock &clock_; // the exporter's
    FetchPace pace_;     // of the run going
    SettingsStore settings_;
    bool askForHost_ = false;
    bool closing_ = false;
};

} // namespace kestrune
