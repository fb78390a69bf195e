#include "tests/support/expectedresults.h"
#include "tests/support/scriptedserver.h"
#include "tools/sampleforum/sampleforum.h"
#include "ui/mainwindow.h"
#include "ui/statusbar.h"
#include "ui/updown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

using namespace kestrune;

namespace {

const QByteArray Henu = QByteArrayLiteral("Henu");

struct Box
{
    QString text;
    QMessageBox::Icon icon;
    QString title;
    QMessageBox::StandardButtons buttons;
};

QMessageBox *WaitForBox()
{
    const auto box = [] {
        return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    };
    return QTest::qWaitFor([&box] { return box() != nullptr; }, 10000) ? box() : nullptr;
}

// Waits for the box to go and the window to have the focus back.
bool BoxClosed(QWidget *window)
{
    if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }))
        return false;
    // No window manager hands the activation back here.
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Waits for the outcome box and presses its OK button.
std::optional<Box> DismissBox(QWidget *window)
{
    QMessageBox *box = WaitForBox();
    if (!box)
        return std::nullopt;
    const Box seen{box->text(), box->icon(), box->windowTitle(), box->standardButtons()};
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    if (!BoxClosed(window))
        return std::nullopt;
    return seen;
}

struct Fixture
{
    SampleForum forum;
    QTemporaryDir dir;
    MainWindow window; // last, so it goes first: a run never outlives the forum

    template <typename Widget> Widget *Find(const char *name)
    {
        return window.findChild<Widget *>(QLatin1String(name));
    }
    QLineEdit *Box(const char *name) { return Find<QLineEdit>(name); }
    QPushButton *Button() { return Find<QPushButton>("Command1"); }
    Exporter &Engine() { return window.Engine(); }
    QByteArray Results() const { return FileBytes(dir.filePath(QLatin1String(ResultsFileName))); }
};

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void frame();
    void labelsShowWholeText();
    void tabOrder();
    void spinControlFillsDelay_data();
    void spinControlFillsDelay();
    void exportsByKeyContinueNumbering();
    void liveEditsTakeEffectOnNextPage();
    void stopKeepsWrittenLines_data();
    void stopKeepsWrittenLines();
    void closeDuringRunStops();
    void continueAfterError_data();
    void continueAfterError();

private:
    std::unique_ptr<Fixture> f_;
};

void TestMainWindow::init()
{
    f_ = std::make_unique<Fixture>();
    QVERIFY2(f_->forum.Listen(0), qPrintable(f_->forum.ErrorString()));
    QVERIFY(f_->dir.isValid());
    f_->Engine().SetHost(QStringLiteral("127.0.0.1:%1").arg(f_->forum.ServerPort()));
    f_->Engine().SetDirectory(QDir(f_->dir.path()));
    f_->window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f_->window));
}

void TestMainWindow::cleanup()
{
    f_.reset();
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("face");
    QTest::addColumn<qreal>("points");

    const QString song = QStringLiteral("宋体");
    const QString newSong = QStringLiteral("新宋体");
    QTest::newRow("Command1") << QStringLiteral("导出") << QRect(2640, 1920, 1695, 615) << song
                              << 9.0;
    QTest::newRow("Text1") << QStringLiteral("Henu") << QRect(360, 840, 1695, 735) << song << 21.75;
    QTest::newRow("Label1") << QStringLiteral("请输入论坛名：") << QRect(360, 240, 1695, 375)
                            << newSong << 12.0;
    QTest::newRow("Text2") << QStringLiteral("1") << QRect(2640, 960, 615, 375) << song << 12.0;
    QTest::newRow("Label2") << QStringLiteral("导出的名次：") << QRect(2640, 240, 1695, 375) << song
                            << 12.0;
    QTest::newRow("Label4") << QStringLiteral("—") << QRect(3360, 1080, 615, 375) << song << 9.0;
    QTest::newRow("Text3") << QStringLiteral("2000") << QRect(3600, 960, 615, 375) << song << 12.0;
    QTest::newRow("Label3") << QStringLiteral("根据网速设置") << QRect(360, 2040, 735, 495)
                            << newSong << 10.5;
    QTest::newRow("UpDown1") << QString() << QRect(1680, 2040, 255, 495) << song << 9.0;
    QTest::newRow("Text4") << QStringLiteral("10") << QRect(1080, 2040, 615, 495) << song << 15.0;
    // The full client width, 312 px.
    QTest::newRow("StatusBar1") << QString() << QRect(0, 2880, 4680, 255) << song << 9.75;
}

void TestMainWindow::layout()
{
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(QString, face);
    QFETCH(qreal, points);

    const QWidget *widget = f_->Find<QWidget>(QTest::currentDataTag());
    QVERIFY(widget);
    if (!text.isNull())
        QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(widget->font().families().value(0), face);
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().weight(), QFont::Normal);
}

void TestMainWindow::frame()
{
    const MainWindow &window = f_->window;
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Kestrune V1.1"));
    QCOMPARE(window.minimumSize(), QSize(312, 209));
    QCOMPARE(window.maximumSize(), QSize(312, 209));
    const QPoint offCentre =
        window.geometry().center() - window.screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, "the window opens centred on the screen");

    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    QCOMPARE(iconSizes.count(QSize(16, 16)), 2);
    QCOMPARE(iconSizes.count(QSize(64, 64)), 1);

    const auto *bar = f_->Find<StatusBar>("StatusBar1");
    QCOMPARE(bar->Panel1()->text(), MainWindow::CreditLine());
    QCOMPARE(bar->Panel2()->text(), QStringLiteral("V1.1"));
    QCOMPARE(bar->Panel2()->width(), 96);
    QCOMPARE(bar->Panel2()->geometry().right(), bar->width() - 1);
    QVERIFY(bar->Panel1()->width() >= 96);

    QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
}

void TestMainWindow::labelsShowWholeText()
{
    const QStringList cjk = {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                             QStringLiteral("Noto Sans CJK SC")};
    const QStringList installed = QFontDatabase::families();
    if (std::none_of(cjk.begin(), cjk.end(),
                     [&installed](const QString &family) { return installed.contains(family); }))
        QSKIP("no CJK font installed");

    for (const QLabel *label : f_->window.findChildren<QLabel *>()) {
        const QRect room = label->contentsRect();
        const int flags =
            static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect need = QFontMetrics(label->font()).boundingRect(room, flags, label->text());
        // A laid-out line rounds ascent and descent up separately.
        QVERIFY2(need.width() <= room.width() && need.height() <= room.height() + 2,
                 qPrintable(label->objectName()));
    }
}

void TestMainWindow::tabOrder()
{
    QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
    QStringList visited;
    for (int step = 0; step < 6; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({QStringLiteral("Text1"), QStringLiteral("Text2"),
                                   QStringLiteral("Text3"), QStringLiteral("UpDown1"),
                                   QStringLiteral("Text4"), QStringLiteral("Command1")}));
}

void TestMainWindow::spinControlFillsDelay_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("mouse");
    QTest::addColumn<Qt::Key>("key"); // for the mouse: Up or Down arrow
    QTest::addColumn<int>("expected");

    QTest::newRow("click up") << 10 << true << Qt::Key_Up << 11;
    QTest::newRow("click down") << 10 << true << Qt::Key_Down << 9;
    QTest::newRow("key up") << 10 << false << Qt::Key_Up << 11;
    QTest::newRow("key down") << 10 << false << Qt::Key_Down << 9;
    QTest::newRow("top") << 20 << true << Qt::Key_Up << 20;
    QTest::newRow("bottom") << 0 << false << Qt::Key_Down << 0;
}

void TestMainWindow::spinControlFillsDelay()
{
    QFETCH(int, start);
    QFETCH(bool, mouse);
    QFETCH(Qt::Key, key);
    QFETCH(int, expected);

    auto *upDown = f_->Find<UpDown>("UpDown1");
    QLineEdit *text4 = f_->Box("Text4");
    QCOMPARE(upDown->value(), 10);
    upDown->setValue(start);
    QCOMPARE(text4->text(), QString::number(start));
    // Typing leaves the arrows where they are.
    QTest::keyClicks(text4, QStringLiteral("7"));
    QCOMPARE(upDown->value(), start);

    if (mouse) {
        const QPoint point(upDown->width() / 2, key == Qt::Key_Up ? 3 : upDown->height() - 4);
        QTest::mouseClick(upDown, Qt::LeftButton, {}, point);
    } else {
        QTest::keyClick(upDown, key);
    }
    QCOMPARE(upDown->value(), expected);
    const QString typed = QString::number(start) + QLatin1Char('7');
    QCOMPARE(text4->text(), expected == start ? typed : QString::number(expected));
}

void TestMainWindow::exportsByKeyContinueNumbering()
{
    f_->Box("Text3")->setText(QStringLiteral("60"));
    f_->Box("Text4")->setText(QStringLiteral("0"));
    QLabel *panel1 = f_->Find<StatusBar>("StatusBar1")->Panel1();
    QStringList progress;
    connect(&f_->Engine(), &Exporter::pageFinished, panel1,
            [&progress, panel1] { progress << panel1->text(); });

    QByteArray expected;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        progress.clear();
        QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
        QTest::keyClick(f_->Button(), key);
        QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
        const std::optional<Box> box = DismissBox(&f_->window);
        QVERIFY(box);
        QCOMPARE(box->text, QStringLiteral("导出完成！"));
        QCOMPARE(box->icon, QMessageBox::NoIcon);
        QCOMPARE(box->title, QStringLiteral("Kestrune"));
        QCOMPARE(box->buttons, QMessageBox::Ok);
        QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
        QCOMPARE(panel1->text(), MainWindow::CreditLine());
        QCOMPARE(progress.size(), 3);
        for (int page = 1; page <= 3; ++page) {
            QVERIFY2(progress.at(page - 1).contains(QStringLiteral("%1/3").arg(page)),
                     qPrintable(progress.at(page - 1)));
            QVERIFY(progress.at(page - 1).contains(QStringLiteral("%1 名").arg(page * 20)));
        }
        expected += ExpectedPages(f_->forum, Henu, 1, 3, expected.count("\r\n") + 1);
        QCOMPARE(f_->Results(), expected);
    }
}

void TestMainWindow::liveEditsTakeEffectOnNextPage()
{
    f_->Box("Text3")->setText(QStringLiteral("60"));
    f_->Box("Text4")->setText(QStringLiteral("0"));
    f_->forum.SetSlowPage(2, 300);
    QList<QByteArray> targets;
    connect(&f_->forum, &SampleForum::requestReceived, this,
            [&targets](const QByteArray &target) { targets << target; });
    QElapsedTimer sinceEdit;
    qint64 page2FinishedAfter = -1;
    connect(&f_->Engine(), &Exporter::pageFinished, this, [&](qint64 page) {
        if (page == 2)
            page2FinishedAfter = sinceEdit.elapsed();
    });

    QTest::mouseClick(f_->Button(), Qt::LeftButton);
    QTRY_COMPARE(targets.size(), 2); // page 2 is on its slow way
    sinceEdit.start();
    f_->Box("Text1")->setText(QStringLiteral("Kaifeng"));
    f_->Box("Text4")->setText(QStringLiteral("2"));
    // The range was read when the run began.
    f_->Box("Text2")->setText(QStringLiteral("41"));
    f_->Box("Text3")->setText(QStringLiteral("20"));

    const std::optional<Box> box = DismissBox(&f_->window);
    QVERIFY(box);
    QCOMPARE(box->text, QStringLiteral("导出完成！"));
    QCOMPARE(targets.size(), 3);
    QVERIFY(targets.at(1).endsWith("kw=Henu&pn=2"));
    QVERIFY2(targets.at(2).endsWith("kw=Kaifeng&pn=3"), targets.at(2).constData());
    QVERIFY2(page2FinishedAfter >= 200, "page 2 paused for the new delay");
    QCOMPARE(f_->Results(), ExpectedPages(f_->forum, Henu, 1, 2) +
                                ExpectedPages(f_->forum, QByteArrayLiteral("Kaifeng"), 3, 3, 41));
}

void TestMainWindow::stopKeepsWrittenLines_data()
{
    QTest::addColumn<bool>("inPause");
    QTest::newRow("during a fetch") << false;
    QTest::newRow("during a pause") << true;
}

void TestMainWindow::stopKeepsWrittenLines()
{
    QFETCH(bool, inPause);
    QLineEdit *text4 = f_->Box("Text4");
    f_->Box("Text3")->setText(QStringLiteral("60"));
    text4->setText(QStringLiteral("0"));
    if (inPause)
        connect(&f_->Engine(), &Exporter::pageFinished, text4,
                [text4] { text4->setText(QStringLiteral("50")); });
    else
        f_->forum.SetStallPage(2);
    QSignalSpy requests(&f_->forum, &SampleForum::requestReceived);

    QTest::mouseClick(f_->Button(), Qt::LeftButton);
    QTRY_COMPARE(requests.size(), 2);
    if (inPause) {
        const QString page = f_->dir.filePath(QLatin1String(PageFileName));
        QTRY_VERIFY(QFile(page).size() > 2); // page 2 stored, not yet scanned
    }
    QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
    QTest::mouseClick(f_->Button(), Qt::LeftButton);

    const std::optional<Box> box = DismissBox(&f_->window);
    QVERIFY(box);
    QVERIFY2(box->text.contains(QStringLiteral("停止")), qPrintable(box->text));
    QCOMPARE(box->buttons, QMessageBox::Ok);
    QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
    QVERIFY(!f_->Engine().IsRunning());
    QCOMPARE(f_->Results(), ExpectedPages(f_->forum, Henu, 1, 1));
    QCOMPARE(requests.size(), 2);
}

void TestMainWindow::closeDuringRunStops()
{
    f_->forum.SetStallPage(1);
    QSignalSpy requests(&f_->forum, &SampleForum::requestReceived);
    QSignalSpy failed(&f_->Engine(), &Exporter::failed);
    QTest::mouseClick(f_->Button(), Qt::LeftButton);
    QTRY_COMPARE(requests.size(), 1);

    QVERIFY(f_->window.close());
    QVERIFY(!f_->window.isVisible());
    QVERIFY(!f_->Engine().IsRunning());
    QCOMPARE(failed.size(), 1);
    QVERIFY(f_->window.findChildren<QMessageBox *>().isEmpty());
    QCOMPARE(f_->Results(), QByteArray());
}

void TestMainWindow::continueAfterError_data()
{
    QTest::addColumn<QString>("fromRank");
    QTest::addColumn<bool>("resume");
    QTest::newRow("continue button") << QStringLiteral("1") << true;
    QTest::newRow("Enter keeps OK") << QStringLiteral("1") << false;
    // Nothing began, so there is nothing to continue.
    QTest::newRow("unreadable rank, OK alone") << QStringLiteral("abc") << false;
}

void TestMainWindow::continueAfterError()
{
    QFETCH(QString, fromRank);
    QFETCH(bool, resume);
    const bool began = fromRank == u"1";
    ScriptedServer server;
    QVERIFY(server.Listen());
    server.SetFault(ScriptedServer::Fault::ResetMidBody);
    f_->Engine().SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
    f_->Box("Text2")->setText(fromRank);
    f_->Box("Text3")->setText(QStringLiteral("60"));
    f_->Box("Text4")->setText(QStringLiteral("0"));
    QSignalSpy started(&f_->Engine(), &Exporter::pageStarted);
    QSignalSpy failed(&f_->Engine(), &Exporter::failed);
    QTest::mouseClick(f_->Button(), Qt::LeftButton);

    QMessageBox *box = WaitForBox();
    QVERIFY(box);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(box->text(), DescribeFailure(failed.at(0).at(0).value<ExportFailure>()));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QAbstractButton *choice = nullptr;
    for (QAbstractButton *button : box->buttons())
        choice = button->text() == QStringLiteral("从第 21 名继续") ? button : choice;
    QCOMPARE(box->buttons().size(), began ? 2 : 1);
    QCOMPARE(choice != nullptr, began);
    if (began)
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));

    server.SetFault(ScriptedServer::Fault::Good, ScriptedServer::GoodPage());
    started.clear();
    if (resume)
        QTest::mouseClick(choice, Qt::LeftButton);
    else
        QTest::keyClick(box, Qt::Key_Return);

    const QList<SampleMember> page = {{1, "AAA", 5}, {2, "BBB", 17}};
    QByteArray expected = began ? ExpectedResults(page, 1) : QByteArray();
    if (resume) {
        QCOMPARE(f_->Box("Text2")->text(), QStringLiteral("21"));
        const std::optional<Box> done = DismissBox(&f_->window);
        QVERIFY(done);
        QCOMPARE(done->text, Exporter::CompletionMessage());
        QCOMPARE(started.size(), 2);
        QCOMPARE(started.at(0).at(0).toLongLong(), 2);
        // Numbering carries on from the names the failed run wrote.
        expected += ExpectedResults(page + page, 3);
    } else {
        QVERIFY(BoxClosed(&f_->window));
        QCOMPARE(f_->Box("Text2")->text(), fromRank);
        QVERIFY(!f_->Engine().IsRunning());
        QCOMPARE(started.size(), 0);
    }
    QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
    QCOMPARE(f_->Results(), expected);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
