#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "engine/resume/resumefile.h"
#include "tests/support/scriptedserver.h"
#include "tests/ui/window/windowfixture.h"
#include "ui/window/updown.h"

#include <QFile>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

using namespace kestrune;
using Answer = MessageBox::Answer;

namespace {

struct Step
{
    int start = 10;
    QString typed{};          // over the box's text
    Qt::Key key = Qt::Key_Up; // which arrow is clicked or pressed
    bool mouse = false;
    int value = 0;
    bool stays = false; // the arrow cannot step: the typed text stays
};

const ScriptedServer::Reply Silent{
    .fault = ScriptedServer::Fault::Raw, .body = {}, .ending = ScriptedServer::Ending::Stay};

struct End
{
    QList<ScriptedServer::Reply> script{}; // two names a page
    QString toRank = QStringLiteral("60");
    QString delay = QStringLiteral("0"); // from page 1's end on
    bool stop = false;                   // once page 2 is asked for
    Answer answer = Answer::Ok;
    QString fromRankAfter = QStringLiteral("1");
    QByteArray results{};
    QString status{};   // panel 1 at the end
    QByteArray table{}; // its rows; empty: no table
    int failures = 1;   // two: the run carried on failed too
};

// The rows of the scripted server's pages in a table, `ranks` first on each.
QByteArray TableRows(std::initializer_list<int> ranks)
{
    QByteArray rows;
    for (const int rank : ranks)
        rows += QStringLiteral("%1,AAA,5\r\n%2,BBB,17\r\n").arg(rank).arg(rank + 1).toUtf8();
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(End)

class TestMainWindow final : public WindowTest
{
    Q_OBJECT

private slots:
    void frame()
    {
        const MainWindow &window = f_->window;
        QCOMPARE(window.minimumSize(), window.maximumSize()); // not resizable
        const QPoint offCentre =
            window.geometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the window opens centred on the screen");
        QVERIFY(!window.windowIcon().isNull());
        // The status bar spans the window, panel 2 at its right-hand end.
        const StatusBar *bar = f_->Bar();
        QCOMPARE(bar->width(), window.width());
        QCOMPARE(bar->Panel2()->geometry().right(), bar->width() - 1);
    }

    void labelsShowWholeText()
    {
        const QStringList cjk = {"SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC"};
        const QStringList installed = QFontDatabase::families();
        if (std::none_of(cjk.begin(), cjk.end(), [&installed](const QString &family) {
                return installed.contains(family);
            }))
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

    void tabOrder()
    {
        QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
        QStringList visited;
        for (int step = 0; step < 6; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"Text1", "Text2", "Text3", "UpDown1", "Text4", "Command1"}));
    }

    void spinControlFillsDelay_data()
    {
        QTest::addColumn<Step>("step");
        QTest::newRow("click up") << Step{.typed = "abc", .mouse = true, .value = 11};
        QTest::newRow("click down")
            << Step{.typed = "21", .key = Qt::Key_Down, .mouse = true, .value = 9};
        QTest::newRow("key up from typed") << Step{.typed = "0", .value = 1};
        QTest::newRow("key down from typed")
            << Step{.typed = "07", .key = Qt::Key_Down, .value = 6};
        QTest::newRow("full-width typed") << Step{.typed = "１９", .value = 20};
        QTest::newRow("top") << Step{
            .start = 20, .typed = "x", .mouse = true, .value = 20, .stays = true};
        QTest::newRow("bottom") << Step{
            .start = 0, .typed = "-1", .key = Qt::Key_Down, .value = 0, .stays = true};
    }

    void spinControlFillsDelay()
    {
        QFETCH(Step, step);
        auto *upDown = f_->Find<UpDown>("UpDown1");
        QLineEdit *text4 = f_->Box("Text4");
        QCOMPARE(upDown->value(), 10);
        upDown->setValue(step.start);
        QCOMPARE(text4->text(), QString::number(step.start));
        text4->clear();
        // As an input method hands it over, full-width forms included.
        QInputMethodEvent typing;
        typing.setCommitString(step.typed);
        QApplication::sendEvent(text4, &typing);
        QCOMPARE(text4->text(), step.typed); // the arrows never rewrite what is typed
        const QPoint arrow(upDown->width() / 2, step.key == Qt::Key_Up ? 3 : upDown->height() - 4);
        step.mouse ? QTest::mouseClick(upDown, Qt::LeftButton, {}, arrow)
                   : QTest::keyClick(upDown, step.key);
        QCOMPARE(upDown->value(), step.value);
        QCOMPARE(text4->text(), step.stays ? step.typed : QString::number(step.value));
    }

    // Unfocused, a narrow box shows where its text starts, and all of it on
    // hover.
    void narrowBoxesShowTheirStart_data()
    {
        QTest::addColumn<QString>("tooLong");
        QTest::newRow("Text1") << "可南大学"; // four CJK characters at its size
        QTest::newRow("Text2") << "10001";
        QTest::newRow("Text3") << "10001";
    }
    void narrowBoxesShowTheirStart()
    {
        QFETCH(QString, tooLong);
        QLineEdit *edit = f_->Box(QTest::currentDataTag());
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QInputMethodEvent typing; // as a Chinese input method hands it over
        typing.setCommitString(tooLong);
        QApplication::sendEvent(edit, &typing);
        QCOMPARE(edit->cursorPosition(), tooLong.size());
        QCOMPARE(edit->toolTip(), tooLong);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->cursorPosition(), 0);
        edit->setText(tooLong + tooLong);
        QCOMPARE(edit->cursorPosition(), 0);
        // Committed into it unfocused, character by character, it reads as typed.
        edit->clear();
        WindowFixture::CommitEach(edit, tooLong);
        QCOMPARE(edit->text(), tooLong);
        edit->setText(QStringLiteral("21"));
        QCOMPARE(edit->toolTip(), QString());
    }

    void exportsByKeyContinueNumbering()
    {
        f_->RunTo(QStringLiteral("60"));
        QByteArray expected;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
            QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
            MessageBox::SetNextAnswer(Answer::Ok);
            QSignalSpy completed(&f_->Engine(), &Exporter::completed);
            QTest::keyClick(f_->Button(), key);
            QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
            QVERIFY(completed.wait());
            QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
            const MessageBox::Content said = MessageBox::Answered().constLast();
            QCOMPARE(said.message.text, CompletionMessage());
            QVERIFY(said.report.startsWith(QStringLiteral("共 3 页、60 个名字")));
            QVERIFY(said.report.contains(QDir::toNativeSeparators(f_->Engine().TablePath())));
            QCOMPARE(said.otherChoice, QStringLiteral("打开表格"));
            expected += ExpectedPages(f_->forum, "Henu", 1, 3, expected.count("\r\n") + 1);
            QCOMPARE(f_->Results(), expected);
        }
        // Each export has a table of its own, named for its forum.
        const QStringList tables = QDir(f_->dir.path()).entryList({QStringLiteral("Henu_*.csv")});
        QCOMPARE(tables.size(), 2);
    }

    // Each page tells the names written and, in its tip and the bar beside
    // it, the pages done; a wait before another try tells itself.
    void statusFollowsRun()
    {
        ScriptedServer server; // two names a page
        QVERIFY(server.Listen({{.body = {}, .status = 503}, {}}));
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->Engine().SetRetries(1);
        f_->RunTo(QStringLiteral("60"));
        const QLabel *panel = f_->Bar()->Panel1();
        const QProgressBar *bar = f_->Bar()->RunProgress();
        QStringList progress;
        connect(&f_->Engine(), &Exporter::pageFinished, this, [&progress, panel, bar] {
            progress << panel->text() + panel->toolTip() + (bar->isHidden() ? "" : bar->text());
        });
        QStringList retries; // told, and as it should be
        connect(&f_->Engine(), &Exporter::retryScheduled, this,
                [&retries, panel](qint64 page, int retry, qint64 ms) {
                    retries << panel->text() << DescribeRetry(page, retry, ms);
                });
        MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(retries.size(), 2);
        QCOMPARE(retries.at(0), retries.at(1));
        QCOMPARE(progress.size(), 3);
        for (int page = 1; page <= 3; ++page) {
            const QString &shown = progress.at(page - 1);
            QVERIFY2(shown.contains(QStringLiteral("%1/3").arg(page)), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("%1 个名字").arg(page * 2)), qPrintable(shown));
        }
        QVERIFY2(progress.constLast().endsWith(QStringLiteral("约 0 秒")),
                 qPrintable(progress.constLast()));
        // The counts stay until the next run.
        QVERIFY(bar->isHidden());
        QCOMPARE(panel->text(), QStringLiteral("第 3 页完成 · 6 个名字"));
    }

    // The delay is read page by page; the forum and the range only as the
    // run begins, the forum box locked until it ends.
    void editsDuringARun()
    {
        QVERIFY(Open(fast_));
        f_->RunTo(QStringLiteral("60"));
        QList<QByteArray> targets;
        qint64 editedAt = 0;
        qint64 page3At = 0;
        bool locked = false;
        connect(&f_->forum, &SampleForum::requestReceived, this, [&](const QByteArray &target) {
            targets << target;
            if (targets.size() == 3)
                page3At = fast_.MonotonicMilliseconds();
            if (targets.size() != 2)
                return;
            // While page 2 is on its way.
            editedAt = fast_.MonotonicMilliseconds();
            locked = f_->Box("Text1")->isReadOnly() && !f_->Box("Text1")->toolTip().isEmpty();
            f_->Box("Text1")->setText(QStringLiteral("Kaifeng"));
            f_->Box("Text4")->setText(QStringLiteral("5"));
            // The range was read when the run began.
            f_->Box("Text2")->setText(QStringLiteral("41"));
            f_->Box("Text3")->setText(QStringLiteral("20"));
        });

        MessageBox::SetNextAnswer(Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(targets.size(), 3);
        QVERIFY(targets.at(1).endsWith("kw=Henu&pn=2"));
        QVERIFY2(targets.at(2).endsWith("kw=Henu&pn=3"), targets.at(2).constData());
        QVERIFY2(page3At - editedAt >= 500, "page 2 paused for the new delay");
        QCOMPARE(f_->Results(), ExpectedPages(f_->forum, "Henu", 1, 3));
        QVERIFY(locked);
        QVERIFY(!f_->Box("Text1")->isReadOnly());
    }

    // Closing asks first; a signal or the session's end (QuitNow) does not.
    // Either way a stopped run leaves its resume point.
    void closeDuringARun_data()
    {
        QTest::addColumn<int>("answer"); // -1: QuitNow
        QTest::newRow("继续导出") << int(Answer::Ok);
        QTest::newRow("停止并退出") << int(Answer::Choice);
        QTest::newRow("signal") << -1;
    }
    void closeDuringARun()
    {
        QFETCH(int, answer);
        f_->RunTo(QStringLiteral("100"));
        f_->forum.SetStallPage(3);
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QTRY_COMPARE(f_->forum.RequestCount(), 3);

        if (answer < 0) {
            f_->window.QuitNow();
        } else {
            MessageBox::SetNextAnswer(Answer(answer));
            QVERIFY(!f_->window.close());
            QTRY_COMPARE(MessageBox::Answered().size(), 1);
            QCOMPARE(MessageBox::Answered().first().message.text,
                     QStringLiteral("导出还没有完成（已完成第 1—2 页）。"
                                    "现在退出，下次可以从第 41 名继续。"));
        }
        const bool quits = answer != int(Answer::Ok);
        QTRY_COMPARE(f_->window.isVisible(), !quits);
        QCOMPARE(f_->Engine().IsRunning(), !quits);
        QCOMPARE(failed.size(), quits ? 1 : 0);
        QCOMPARE(MessageBox::Answered().size(), answer < 0 ? 0 : 1);
        QCOMPARE(f_->Results(), ExpectedPages(f_->forum, "Henu", 1, 2));
        const ResumeLoad saved = LoadResumePoint(QDir(f_->dir.path()));
        QCOMPARE(saved.point ? saved.point->nextRank : 0, 41);
    }

    // A run that ends early offers to carry on from the rank where it ended,
    // numbering on from the names it wrote; once the box has gone, a box that
    // cannot be used has the focus, its text selected to be typed over.
    void runEndsEarly_data()
    {
        const QList<ScriptedServer::Reply> resetOnce = {{}, ScriptedServer::ResetMidBody(), {}};
        QTest::addColumn<End>("end");
        const QString stopped = QStringLiteral("已停在第 2 页 · 2 个名字");
        QTest::newRow("stopped during a fetch") << End{.script = {{}, Silent},
                                                       .stop = true,
                                                       .results = GoodLines(),
                                                       .status = stopped,
                                                       .table = TableRows({1})};
        QTest::newRow("stopped during a pause") << End{.delay = "50",
                                                       .stop = true,
                                                       .results = GoodLines(),
                                                       .status = stopped,
                                                       .table = TableRows({1})};
        // The same table as an uninterrupted run.
        QTest::newRow("failed, carried on")
            << End{.script = resetOnce,
                   .answer = Answer::Choice,
                   .fromRankAfter = "21",
                   .results = GoodLines(1) + GoodLines(3) + GoodLines(5),
                   .status = "第 3 页完成 · 4 个名字",
                   .table = TableRows({1, 21, 41})};
        // The from-rank box keeps the resumed rank: the bar says so.
        QTest::newRow("failed, carried on, failed")
            << End{.script = {{}, ScriptedServer::ResetMidBody(), ScriptedServer::ResetMidBody()},
                   .answer = Answer::Choice,
                   .fromRankAfter = "21",
                   .results = GoodLines(),
                   .status = "下次导出从第 21 名开始",
                   .table = TableRows({1}),
                   .failures = 2};
        QTest::newRow("failed, OK") << End{.script = resetOnce,
                                           .results = GoodLines(),
                                           .status = "出错停在第 2 页 · 2 个名字",
                                           .table = TableRows({1})};
        QTest::newRow("unreadable rank, nothing began")
            << End{.toRank = "2O00", .status = MainWindow::CreditLine()};
    }

    void runEndsEarly()
    {
        QFETCH(End, end);
        ScriptedServer server;
        QVERIFY(server.Listen(end.script));
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->RunTo(end.toRank);
        QLineEdit *text4 = f_->Box("Text4");
        connect(&f_->Engine(), &Exporter::pageFinished, text4, [&] { text4->setText(end.delay); });
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        MessageBox::SetNextAnswer(end.answer);
        const bool carriesOn = end.answer == Answer::Choice;
        if (carriesOn)
            MessageBox::SetNextAnswer(Answer::Ok); // 导出完成！ or the second failure

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        if (end.stop) {
            QTRY_COMPARE(server.Requests().size(), 2);
            const QString page = f_->dir.filePath(QLatin1String(PageFileName));
            QTRY_COMPARE(QFile(page).size() > 2, end.delay != "0"); // page 2 in temp.txt
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QVERIFY(!f_->Engine().IsRunning());
        }
        QTRY_COMPARE(MessageBox::Answered().size(), carriesOn ? 2 : 1);
        QCOMPARE(failed.size(), end.failures);
        const ExportFailure failure = failed.at(0).at(0).value<ExportFailure>();
        const MessageBox::Content said = MessageBox::Answered().constFirst();
        QCOMPARE(said.kind, end.stop ? MessageBox::Kind::Notice : MessageBox::Kind::Error);
        QVERIFY(said.message.text.startsWith(DescribeFailure(failure).text.section(u'\n', 0, 0)));
        // The address and libcurl's words wait behind 显示详情….
        QCOMPARE(said.message.detail, DescribeFailure(failure).detail);
        QCOMPARE(said.choice, failure.RunStarted() ? "从第 21 名继续" : QString());
        if (failure.input) {
            QTRY_COMPARE(QApplication::focusWidget(), f_->Box("Text3"));
            QCOMPARE(f_->Box("Text3")->selectedText(), end.toRank);
        }
        QCOMPARE(f_->Box("Text2")->text(), end.fromRankAfter);
        QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
        QCOMPARE(f_->Results(), end.results);
        QCOMPARE(f_->Bar()->Panel1()->text(), end.status);
        const QStringList tables = QDir(f_->dir.path()).entryList({QStringLiteral("*.csv")});
        QCOMPARE(tables.size(), end.table.isEmpty() ? 0 : 1);
        if (!end.table.isEmpty()) {
            QVERIFY2(said.message.text.contains(tables.constFirst()),
                     qPrintable(said.message.text));
            QCOMPARE(FileBytes(f_->dir.filePath(tables.constFirst())),
                     "\xEF\xBB\xBF名次,会员名,等级\r\n" + end.table);
        }
    }

    // The form's background, labels, button and status bar give the window's
    // menu; a box keeps its own edit menu.

private:
    // Five times faster: a fetch still has 600 ms, under Wine too, before it
    // times out.
    const FastClock fast_{5, 0};
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
