#include "ui/window/mainwindow.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/resumemessage.h"
#include "engine/messages/runreportmessage.h"
#include "engine/run/continuerun.h"
#include "platform/clock.h"
#include "ui/compare/comparewindow.h"
#include "ui/dialogs/messagebox.h"
#include "ui/dialogs/outcomeboxes.h"
#include "ui/dialogs/settingwords.h"
#include "ui/dialogs/unfinishedrun.h"
#include "ui/window/applicationicon.h"
#include "ui/window/formlabels.h"
#include "ui/window/formplacement.h"
#include "ui/window/menukey.h"
#include "ui/window/narrowbox.h"
#include "ui/window/settingsmenu.h"
#include "ui/window/statusbar.h"
#include "ui/window/updown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace kestrune {

MainWindow::MainWindow(QWidget *parent)
    : MainWindow(SystemClock::Instance(), parent)
{}

MainWindow::MainWindow(const Clock &clock, QWidget *parent)
    : QWidget(parent)
    , exportButton_(Place<QPushButton>(this, "Command1", {2640, 1920, 1695, 615}))
    , forumNameEdit_(PlaceBox<NarrowBox>(this, "Text1", {360, 840, 1695, 735},
                                         QStringLiteral("Henu"), CjkFont(Face::Song, 21.75)))
    , fromRankEdit_(PlaceBox<NarrowBox>(this, "Text2", {2640, 960, 615, 375}, QStringLiteral("1"),
                                        CjkFont(Face::Song, 12)))
    , toRankEdit_(PlaceBox<NarrowBox>(this, "Text3", {3600, 960, 615, 375}, QStringLiteral("2000"),
                                      CjkFont(Face::Song, 12)))
    , delaySpin_(Place<UpDown>(this, "UpDown1", {1680, 2040, 255, 495}))
    , delayEdit_(PlaceBox(this, "Text4", {1080, 2040, 615, 495}, QStringLiteral("10"),
                          CjkFont(Face::Song, 15)))
    , statusBar_(Place<StatusBar>(this, "StatusBar1", {0, 2880, ClientWidth * 15, 255}))
    , exporter_(*this, clock)
    , settingsMenu_(new SettingsMenu(exporter_, this))
    , runStatus_(*statusBar_, exporter_, *this, clock)
{
    setObjectName(QStringLiteral("Form1"));
    // "V" and major.minor, as the window has always shown its version.
    setWindowTitle(QStringLiteral("Kestrune V" KESTRUNE_SHORT_VERSION));
    setWindowIcon(ApplicationIcon());
    setFont(CjkFont(Face::Song, 9));
    setFixedSize(ClientWidth, ClientHeight);

    exportButton_->setText(QStringLiteral("导出"));
    // Outside a dialog a push button ignores Enter unless it is auto-default.
    exportButton_->setAutoDefault(true);

    PlaceLabels(this, {forumNameEdit_, fromRankEdit_, toRankEdit_, delayEdit_, delaySpin_});

    delaySpin_->setRange(0, 20);
    delaySpin_->setSingleStep(1);
    delaySpin_->setPageStep(1);
    delaySpin_->setValue(10);
    delaySpin_->SetBuddy(delayEdit_);
    delayEdit_->setAlignment(Qt::AlignCenter);
    // Text4 reaches one pixel under the arrows; the arrows stay whole.
    delaySpin_->raise();

    statusBar_->setFont(CjkFont(Face::Song, 9.75));
    statusBar_->ShowVersion(QStringLiteral("V" KESTRUNE_SHORT_VERSION)); // as in the caption
    statusBar_->ShowText(CreditLine());

    setTabOrder(exportButton_, forumNameEdit_);
    setTabOrder(forumNameEdit_, fromRankEdit_);
    setTabOrder(fromRankEdit_, toRankEdit_);
    setTabOrder(toRankEdit_, delaySpin_);
    setTabOrder(delaySpin_, delayEdit_);
    exportButton_->setFocus();

    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::StartOrStopExport);
    connect(fromRankEdit_, &QLineEdit::textEdited, this, [this] { resumedFrom_.reset(); });
    connect(&exporter_, &Exporter::completed, this, &MainWindow::OnCompleted);
    connect(&exporter_, &Exporter::failed, this, &MainWindow::OnFailed);
    connect(settingsMenu_, &SettingsMenu::tableChoiceChanged, this,
            [this](bool on) { exporter_.SetTableOn(on); });
    connect(settingsMenu_, &SettingsMenu::compareRequested, this,
            [this] { CompareWindow::ShowFor(this, exporter_.Directory(), ForumName()); });
    connect(settingsMenu_, &SettingsMenu::folderChanged, this, [this](const QString &folder) {
        statusBar_->setToolTip(
            QStringLiteral("结果保存在 %1").arg(QDir::toNativeSeparators(folder)));
    });

    if (const QScreen *screen = this->screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
}

MainWindow::~MainWindow()
{
    // A run still going must not report into a half-destroyed window.
    exporter_.disconnect(this);
    exporter_.Stop();
}

void MainWindow::UseSettings(const SettingsStore &settings, bool askForHost,
                             const ResultPlace &results)
{
    settingsMenu_->UseSettings(settings, askForHost, results);
}

QString MainWindow::CreditLine()
{
    return QStringLiteral("Kestrune 开发组 制作");
}

QString MainWindow::ForumName() const
{
    return forumNameEdit_->text();
}
QString MainWindow::FromRank() const
{
    return fromRankEdit_->text();
}
QString MainWindow::ToRank() const
{
    return toRankEdit_->text();
}
QString MainWindow::Delay() const
{
    return delayEdit_->text();
}

void MainWindow::StartOrStopExport()
{
    if (exporter_.IsRunning()) {
        exporter_.Stop();
        return;
    }
    if (settingsMenu_->AsksForHost()) {
        settingsMenu_->ChangeSetting(SettingsMenu::Setting::Host, [this] { StartOrStopExport(); });
        return;
    }
    runStatus_.NewRun();
    exporter_.RunExport();
    if (exporter_.IsRunning()) {
        exportButton_->setText(QStringLiteral("停止"));
        LockForumName(true);
    }
}

void MainWindow::LockForumName(bool locked)
{
    forumNameEdit_->Lock(locked, QStringLiteral("导出进行中，论坛名在导出结束后才能修改"));
}

void MainWindow::QuitNow()
{
    quitting_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (exporter_.IsRunning() && !quitting_ && !SessionEnding()) {
        event->ignore();
        AskBeforeQuitting(this, exporter_, [this] { QuitNow(); });
        return;
    }
    if (exporter_.IsRunning()) {
        closing_ = true;
        exporter_.Stop();
        closing_ = false;
    }
    event->accept();
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    settingsMenu_->popup(event->globalPos());
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (!SendMenuRequestForKey(event))
        QWidget::keyPressEvent(event);
}

void MainWindow::ShowIdle()
{
    runStatus_.RunEnded();
    exportButton_->setText(QStringLiteral("导出"));
    LockForumName(false);
}

void MainWindow::OnCompleted(const RunReport &report)
{
    ShowIdle();
    resumedFrom_.reset();
    const QString table = exporter_.TablePath();
    MessageBox::Show(this, CompletionBox(CompletionMessage(), report, exporter_.Directory(), table),
                     [this, table](MessageBox::Answer answer) {
                         if (answer == MessageBox::Answer::Choice)
                             settingsMenu_->OpenResultsFolder();
                         else if (answer == MessageBox::Answer::OtherChoice)
                             OpenTable(this, table);
                     });
}

void MainWindow::OnFailed(const ExportFailure &failure)
{
    runStatus_.ShowRunEnd(failure);
    ShowIdle();
    // Else the next 导出 starts from the resumed rank without a word.
    if (resumedFrom_)
        statusBar_->ShowText(QStringLiteral("下次导出从第 %1 名开始").arg(*resumedFrom_));
    if (closing_)
        return;
    MessageBox::Show(this, FailureBox(failure), [this, failure](MessageBox::Answer answer) {
        if (answer == MessageBox::Answer::Choice) {
            // The resumed run goes on with the same forum and table.
            forumNameEdit_->setText(exporter_.Forum());
            if (!failure.table.isEmpty())
                exporter_.ContinueTable(failure.table);
            ResumeFrom(failure.resumeRank);
        }
        SelectBadInput(failure.input);
    });
}

QLineEdit *MainWindow::EditFor(InputBox box) const
{
    switch (box) {
    case InputBox::ForumName:
        return forumNameEdit_;
    case InputBox::FromRank:
        return fromRankEdit_;
    case InputBox::ToRank:
        return toRankEdit_;
    case InputBox::Delay:
        return delayEdit_;
    }
    return nullptr;
}

void MainWindow::SelectBadInput(const std::optional<InputProblem> &input)
{
    // A box that came up since has its own say.
    if (!input || QApplication::activeModalWidget() != nullptr)
        return;
    QLineEdit *edit = EditFor(input->box);
    edit->setFocus();
    edit->selectAll();
}

void MainWindow::OfferUnfinishedRun(std::function<void()> then)
{
    OfferResume(
        this, exporter_.Directory(), [this](const ResumePoint &point) { ContinueRun(point); },
        std::move(then));
}

void MainWindow::ContinueRun(const ResumePoint &point)
{
    if (exporter_.IsRunning())
        return;
    if (std::optional<ResumeProblem> problem = kestrune::ContinueRun(exporter_, point)) {
        MessageBox::Show(this, MessageBox::Kind::Error, DescribeResumeProblem(*problem));
        return;
    }
    settingsMenu_->HostKnown();
    forumNameEdit_->setText(point.forum);
    toRankEdit_->setText(QString::number(point.toRank));
    delayEdit_->setText(point.delay);
    ResumeFrom(point.nextRank);
}

void MainWindow::ResumeFrom(qint64 rank)
{
    resumedFrom_ = rank;
    fromRankEdit_->setText(QString::number(rank));
    if (!exporter_.IsRunning())
        StartOrStopExport();
}

} // namespace kestrune
