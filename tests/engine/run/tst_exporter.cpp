#include "engine/messages/inputmessage.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace kestrune;

namespace {

const QByteArray Henu = QByteArrayLiteral("Henu");

// The four texts in the order of InputBox.
constexpr QString TextInputs::*Field[] = {&TextInputs::forumName, &TextInputs::fromRank,
                                          &TextInputs::toRank, &TextInputs::delay};

} // namespace

class TestExporter : public QObject
{
    Q_OBJECT

private slots:
    void exportsWholePagesByteForByte()
    {
        ExportHarness h;
        h.inputs.fromRank = QStringLiteral("25"); // whole pages: 21..60
        {
            QFile earlier(h.FilePath(ResultsFileName));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("kept\r\n");
        }
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(outcome.message, QStringLiteral("导出完成！"));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 "kept\r\n" + ExpectedPages(h.forum, Henu, 2, 3));
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), h.forum.PageBody(Henu, 3) + "\r\n");
    }

    // A box that cannot be used is told before anything is fetched or touched.
    void badInputTouchesNothing_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail"); // how it starts
        using Kind = InputProblem::Kind;
        const auto row = [](const char *name, InputBox box, const QString &text, Kind kind,
                            const char *detail) {
            QTest::newRow(name) << int(box) << text << int(kind) << QString::fromUtf8(detail);
        };
        row("forum name beyond GBK", InputBox::ForumName, QStringLiteral("Henu😀"),
            Kind::NotInCodePage, "无效的过程调用或参数（论坛名中有 GBK 无法表示的字符 U+1F600）");
        row("letters in from rank", InputBox::FromRank, QStringLiteral("1O"), Kind::NotANumber,
            "类型不匹配（“1O” 不是数字）");
        row("to rank beyond 32 bits", InputBox::ToRank, QStringLiteral("２１４７４８３６４９"),
            Kind::TooLarge, "溢出");
        row("delay beyond a float", InputBox::Delay, "1" + QString(40, u'0'), Kind::TooLarge,
            "溢出");
    }
    void badInputTouchesNothing()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, detail);
        ExportHarness h;
        h.inputs.*Field[box] = text;
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::BadInput);
        QVERIFY(outcome.failure.input);
        QCOMPARE(int(outcome.failure.input->box), box);
        QCOMPARE(int(outcome.failure.input->kind), kind);
        QCOMPARE(outcome.failure.input->text, text);
        QVERIFY2(DescribeInputDetail(*outcome.failure.input).startsWith(detail),
                 qPrintable(DescribeInputDetail(*outcome.failure.input)));
        QCOMPARE(h.forum.RequestCount(), 0);
        for (const char *file : {ResultsFileName, PageFileName, LockFileName})
            QVERIFY2(!QFile::exists(h.FilePath(file)), file);
    }

    // The run stops on the page that fails, or that reads a box edited into
    // one that cannot be used; temp.txt holds what came before.
    void failuresDuringAPage_data()
    {
        QTest::addColumn<int>("box"); // edited once page 1 is in; -1: none
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QByteArray>("pageFile");
        QTest::addColumn<qint64>("pagesWritten");
        const SampleForum forum;
        QTest::newRow("forum name edited") << int(InputBox::ForumName) << QStringLiteral("Henu😀")
                                           << forum.PageBody(Henu, 1) + "\r\n"
                                           << qint64(1);
        QTest::newRow("delay edited")
            << int(InputBox::Delay) << "1" + QString(40, u'0') << forum.PageBody(Henu, 2) + "\r\n"
            << qint64(1);
        QTest::newRow("refused") << -1 << QString() << QByteArray("") << qint64(0);
    }
    void failuresDuringAPage()
    {
        QFETCH(int, box);
        QFETCH(QString, edit);
        QFETCH(QByteArray, pageFile);
        QFETCH(qint64, pagesWritten);
        ExportHarness h;
        if (box < 0) {
            QTcpServer closed; // a free port once it goes
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            h.exporter.SetHost(LocalHost(closed.serverPort()));
        } else {
            connect(&h.exporter, &Exporter::pageFinished, this,
                    [&] { h.inputs.*Field[box] = edit; });
        }
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        const ExportFailure &failure = outcome.failure;
        QCOMPARE(failure.cause, ExportFailure::Cause::PageFailed);
        QCOMPARE(failure.page, pagesWritten + 1);
        QCOMPARE(failure.input ? int(failure.input->box) : -1, box);
        QCOMPARE(failure.fetch.has_value(), box < 0);
        if (failure.input) {
            const QString named = QStringLiteral("“%1”").arg(BoxName(failure.input->box));
            QVERIFY2(outcome.message.startsWith(named), qPrintable(outcome.message));
        }
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedPages(h.forum, Henu, 1, pagesWritten));
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), pageFile);
    }

    void stopFromAPageFinishedSlotEndsThere()
    {
        ExportHarness h;
        QSignalSpy started(&h.exporter, &Exporter::pageStarted);
        connect(&h.exporter, &Exporter::pageFinished, &h.exporter, &Exporter::Stop);
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(started.size(), 1);
        QVERIFY(!h.exporter.IsRunning());
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::Stopped);
        QCOMPARE(outcome.failure.page, 2);
        QCOMPARE(outcome.failure.namesWritten, 20);
        QCOMPARE(outcome.failure.resumeRank, 21);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), ExpectedPages(h.forum, Henu, 1, 1));
    }
};

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
