#include "ui/mainwindow.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "platform/clock.h"
#include "ui/formlabels.h"
#include "ui/formplacement.h"
#include "ui/messagebox.h"
#include "ui/narrowbox.h"
#include "ui/outcomeboxes.h"
#include "ui/settingsmenu.h"
#include "ui/settingwords.h"
#include "ui/statusbar.h"
#include "ui/updown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

// Resources of a static library need a call from outside any namespace.
static void InitResources()
{
    Q_INIT_RESOURCE(kestrune);
}

namespace kestrune {

namespace {

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const char *file :
         {":/icons/kestrune-16-256.png", ":/icons/kestrune-16.png", ":/icons/kestrune-64.png"})
        icon.addFile(QLatin1String(file));
    return icon;
}

} // namespace

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
    InitResources();
    setObjectName(QStringLiteral("Form1"));
    // "V1.1" is the window's own text, kept as it was; the program is 1.00.
    setWindowTitle(QStringLiteral("Kestrune V1.1"));
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
    statusBar_->ShowVersion(QStringLiteral("V1.1")); // as in the caption
    statusBar_->ShowText(CreditLine());

    setTabOrder(exportButton_, forumNameEdit_);
    setTabOrder(forumNameEdit_, fromRankEdit_);
    setTabOrder(fromRankEdit_, toRankEdit_);
    setTabOrder(toRankEdit_, delaySpin_);
    setTabOrder(delaySpin_, delayEdit_);
    exportButton_->setFocus();

    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::StartOrStopExport);
    connect(&exporter_, &Exporter::completed, this, &MainWindow::OnCompleted);
    connect(&exporter_, &Exporter::failed, this, &MainWindow::OnFailed);
    connect(settingsMenu_, &SettingsMenu::tableChoiceChanged, this,
            [this](bool on) { exporter_.SetTableOn(on); });
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
    if (exporter_.IsRunning())
        exportButton_->setText(QStringLiteral("停止"));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
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

void MainWindow::ShowIdle()
{
    runStatus_.RunEnded();
    exportButton_->setText(QStringLiteral("导出"));
}

void MainWindow::OnCompleted(const RunReport &report)
{
    ShowIdle();
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
    if (closing_)
        return;
    MessageBox::Show(this, FailureBox(failure), [this, failure](MessageBox::Answer answer) {
        if (answer == MessageBox::Answer::Choice) {
            // The resumed run goes on with the same table.
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

void MainWindow::ResumeFrom(qint64 rank)
{
    fromRankEdit_->setText(QString::number(rank));
    if (!exporter_.IsRunning())
        StartOrStopExport();
}

} // namespace kestrune
