#pragma once

#include "engine/run/exporter.h"
#include "engine/run/exportinputs.h"
#include "ui/window/runstatus.h"

#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace kestrune {

class Clock;
class NarrowBox;
class SettingsMenu;
class SettingsStore;
struct ResultPlace;
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
    void UseSettings(const SettingsStore &settings, bool askForHost, const ResultPlace &results);
    // Before anything else, the results folder's run that did not complete
    // is offered; `then` runs once that is settled.
    void OfferUnfinishedRun(std::function<void()> then);
    // The run `point` describes goes on where it stopped.
    void ContinueRun(const kestrune::ResumePoint &point);

    QString ForumName() const override;
    QString FromRank() const override;
    QString ToRank() const override;
    QString Delay() const override;

    static QString CreditLine();

public slots:
    // Command1: starts an export, or stops the one in progress.
    void StartOrStopExport();
    // A signal or the session's end: a run stops without a question.
    void QuitNow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void OnCompleted(const kestrune::RunReport &report);
    void OnFailed(const kestrune::ExportFailure &failure);
    void ShowIdle();
    QLineEdit *EditFor(InputBox box) const;
    // Once the box has gone, the focus is in the box that cannot be used,
    // its text selected to be typed over.
    void SelectBadInput(const std::optional<kestrune::InputProblem> &input);
    // The error box's second choice: the from-rank box, then a run at once.
    void ResumeFrom(qint64 rank);
    // The forum stays as it is while a run lasts.
    void LockForumName(bool locked);

    QPushButton *exportButton_; // Command1 (children of the window)
    NarrowBox *forumNameEdit_;  // Text1
    QLineEdit *fromRankEdit_;   // Text2
    QLineEdit *toRankEdit_;     // Text3
    UpDown *delaySpin_;         // UpDown1
    QLineEdit *delayEdit_;      // Text4
    StatusBar *statusBar_;      // StatusBar1

    Exporter exporter_;
    SettingsMenu *settingsMenu_; // child
    RunStatus runStatus_;
    bool closing_ = false;  // a failure then shows no box
    bool quitting_ = false; // the question before quitting was answered
    // The from-rank a resume put in its box, until the box is edited or a
    // run completes.
    std::optional<qint64> resumedFrom_;
};

} // namespace kestrune
