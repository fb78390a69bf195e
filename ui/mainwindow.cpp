#include "ui/mainwindow.h"

#include "engine/runreportmessage.h"
#include "platform/clock.h"
#include "platform/numberreading.h"
#include "ui/formplacement.h"
#include "ui/messagebox.h"
#include "ui/rankbox.h"
#include "ui/settingwords.h"
#include "ui/statusbar.h"
#include "ui/updown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <array>

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
    , forumNameEdit_(PlaceBox(this, "Text1", {360, 840, 1695, 735}, QStringLiteral("Henu"),
                              CjkFont(Face::Song, 21.75)))
    , fromRankEdit_(PlaceBox<RankBox>(this, "Text2", {2640, 960, 615, 375}, QStringLiteral("1"),
                                      CjkFont(Face::Song, 12)))
    , toRankEdit_(PlaceBox<RankBox>(this, "Text3", {3600, 960, 615, 375}, QStringLiteral("2000"),
                                    CjkFont(Face::Song, 12)))
    , delaySpin_(Place<UpDown>(this, "UpDown1", {1680, 2040, 255, 495}))
    , delayEdit_(PlaceBox(this, "Text4", {1080, 2040, 615, 495}, QStringLiteral("10"),
                          CjkFont(Face::Song, 15)))
    , statusBar_(Place<StatusBar>(this, "StatusBar1", {0, 2880, ClientWidth * 15, 255}))
    , contextMenu_(new QMenu(this))
    , exporter_(*this, clock)
    , clock_(clock)
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

    // Seven full-width characters at 12 pt fill the 1695 twips exactly.
    PlaceLabel(this, "Label1", {360, 240, 1695, 375}, QStringLiteral("请输入论坛名："))
        ->setFont(CjkFont(Face::NewSong, 12));
    PlaceLabel(this, "Label2", {2640, 240, 1695, 375}, QStringLiteral("导出的名次："))
        ->setFont(CjkFont(Face::Song, 12));
    // Text3 covers the right-hand part of the dash's label, as on the form.
    PlaceLabel(this, "Label4", {3360, 1080, 615, 375}, QStringLiteral("—"))
        ->stackUnder(toRankEdit_);
    PlaceLabel(this, "Label3", {360, 2040, 735, 495}, QStringLiteral("根据网速设置"))
        ->setFont(CjkFont(Face::NewSong, 10.5));

    delaySpin_->setRange(0, 20);
    delaySpin_->setSingleStep(1);
    delaySpin_->setPageStep(1);
    delaySpin_->setValue(10);
    delayEdit_->setAlignment(Qt::AlignCenter);
    // Text4 reaches one pixel under the arrows; the arrows stay whole.
    delaySpin_->raise();

    statusBar_->setFont(CjkFont(Face::Song, 9.75));
    statusBar_->Panel2()->setText(QStringLiteral("V1.1")); // as in the caption
    statusBar_->Panel1()->setText(CreditLine());
    ShowIdle();

    setTabOrder(exportButton_, forumNameEdit_);
    setTabOrder(forumNameEdit_, fromRankEdit_);
    setTabOrder(fromRankEdit_, toRankEdit_);
    setTabOrder(toRankEdit_, delaySpin_);
    setTabOrder(delaySpin_, delayEdit_);
    exportButton_->setFocus();

    BuildContextMenu();

    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::StartOrStopExport);
    connect(delaySpin_, &UpDown::valueChanged, this, &MainWindow::SyncSpinToDelay);
    // An arrow steps from the delay in the box when the arrows could show it.
    connect(delaySpin_, &UpDown::actionTriggered, this, [this](int action) {
        const bool up =
            action == UpDown::SliderSingleStepAdd || action == UpDown::SliderPageStepAdd;
        const bool down =
            action == UpDown::SliderSingleStepSub || action == UpDown::SliderPageStepSub;
        bool number = false;
        const int typed =
            QString::fromStdString(HalfWidth(delayEdit_->text().toStdString())).toInt(&number);
        if (!(up || down) || !number || typed < delaySpin_->minimum() ||
            typed > delaySpin_->maximum())
            return;
        const int next =
            std::clamp(typed + (up ? 1 : -1), delaySpin_->minimum(), delaySpin_->maximum());
        delaySpin_->setSliderPosition(next);
        if (next == delaySpin_->value()) // no valueChanged() will rewrite the box
            SyncSpinToDelay(next);
    });
    connect(&exporter_, &Exporter::pageStarted, this, &MainWindow::OnPageStarted);
    connect(&exporter_, &Exporter::pageFinished, this, &MainWindow::OnPageFinished);
    connect(&exporter_, &Exporter::retryScheduled, this, [this](qint64 page, int retry, qint64 ms) {
        statusBar_->Panel1()->setText(DescribeRetry(page, retry, ms));
    });
    connect(&exporter_, &Exporter::completed, this, &MainWindow::OnCompleted);
    connect(&exporter_, &Exporter::failed, this, &MainWindow::ShowRunEnd);
    connect(&exporter_, &Exporter::failed, this, &MainWindow::OnFailed);

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
    if (askForHost_) {
        ChangeSetting(Setting::Host, [this] { StartOrStopExport(); });
        return;
    }
    pace_ = {};
    exporter_.RunExport();
    if (exporter_.IsRunning())
        exportButton_->setText(QStringLiteral("停止"));
}

void MainWindow::SyncSpinToDelay(int value)
{
    delayEdit_->setText(QString::number(value));
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

void MainWindow::OnCompleted(const QString &message, const RunReport &report)
{
    ShowIdle();
    const QString results = QDir::toNativeSeparators(
        exporter_.Directory().absoluteFilePath(QLatin1String(ResultsFileName)));
    MessageBox::ShowWithChoice(this, MessageBox::Kind::Plain, message,
                               QStringLiteral("打开所在文件夹"), [this] { OpenResultsFolder(); })
        ->setInformativeText(DescribeRunReport(report) +
                             QStringLiteral("\n结果文件：%1").arg(results));
}

void MainWindow::OnFailed(const ExportFailure &failure)
{
    ShowIdle();
    if (closing_)
        return;
    const auto onMenu = [](const QString &item) {
        return QStringLiteral("在窗口上单击右键，选“%1”").arg(item);
    };
    const UserMessage message =
        DescribeFailure(failure, {.forumAddress = onMenu(HostMenuItem()),
                                  .caFile = onMenu(CaFileMenuItem()),
                                  .timeout = onMenu(TimeoutMenuItem()),
                                  .otherFolder = QStringLiteral("把本程序复制到那里再打开，"
                                                                "例如复制到“文档”中"),
                                  .resume = QStringLiteral("单击“从第 %1 名继续”可以接着导出。")});
    if (!failure.RunStarted()) {
        SelectBadInputAfter(MessageBox::Show(this, MessageBox::Kind::Error, message), failure);
        return;
    }
    // A stopped run carries on as easily as one that failed.
    const qint64 rank = failure.resumeRank;
    const auto kind = failure.cause == ExportFailure::Cause::Stopped ? MessageBox::Kind::Notice
                                                                     : MessageBox::Kind::Error;
    QMessageBox *box =
        MessageBox::ShowWithChoice(this, kind, message, QStringLiteral("从第 %1 名继续").arg(rank),
                                   [this, rank] { ResumeFrom(rank); });
    box->setInformativeText(DescribeRunReport(failure.report));
    SelectBadInputAfter(box, failure);
}

void MainWindow::SelectBadInputAfter(QMessageBox *box, const ExportFailure &failure)
{
    if (!failure.input)
        return;
    QLineEdit *edit = std::array{forumNameEdit_, fromRankEdit_, toRankEdit_,
                                 delayEdit_}[static_cast<std::size_t>(failure.input->box)];
    connect(box, &QDialog::finished, edit, [edit] {
        if (QApplication::activeModalWidget() != nullptr)
            return; // a box that came up since has its own say
        edit->setFocus();
        edit->selectAll();
    });
}

void MainWindow::ResumeFrom(qint64 rank)
{
    fromRankEdit_->setText(QString::number(rank));
    if (!exporter_.IsRunning())
        StartOrStopExport();
}

} // namespace kestrune
