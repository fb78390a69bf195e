#include "engine/resume/resumefile.h"
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
    // A box that cannot be used is told before anything is fetched or touched;
    // how each problem reads is the messages' own test.
    void badInputTouchesNothing_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        using Kind = InputProblem::Kind;
        QTest::newRow("forum name beyond GBK")
            << int(InputBox::ForumName) << QStringLiteral("Henu😀") << int(Kind::NotInCodePage);
        QTest::newRow("letters in from rank")
            << int(InputBox::FromRank) << QStringLiteral("1O") << int(Kind::NotANumber);
        QTest::newRow("to rank beyond 32 bits")
            << int(InputBox::ToRank) << QStringLiteral("２１４７４８３６４９")
            << int(Kind::TooLarge);
        QTest::newRow("delay beyond a float")
            << int(InputBox::Delay) << "1" + QString(40, u'0') << int(Kind::TooLarge);
    }
    void badInputTouchesNothing()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(int, kind);
        ExportHarness h;
        h.inputs.*Field[box] = text;
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::BadInput);
        QVERIFY(outcome.failure.input);
        QCOMPARE(int(outcome.failure.input->box), box);
        QCOMPARE(int(outcome.failure.input->kind), kind);
        QCOMPARE(outcome.failure.input->text, text);
        QCOMPARE(h.forum.RequestCount(), 0);
        for (const char *file : {ResultsFileName, PageFileName, LockFileName})
            QVERIFY2(!QFile::exists(h.FilePath(file)), file);
    }

    // The run stops on the page that fails, or that reads a box edited into
    // one that cannot be used; temp.txt holds what came before. The forum is
    // read once: an edit never mixes two forums in one file.
    void failuresDuringAPage_data()
    {
        QTest::addColumn<int>("box"); // edited once page 1 is in; -1: none
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QByteArray>("pageFile");
        QTest::addColumn<qint64>("pagesWritten");
        const SampleForum forum;
        QTest::newRow("forum name edited") << int(InputBox::ForumName) << QStringLiteral("Kaifeng")
                                           << forum.PageBody(Henu, 3) + "\r\n"
                                           << qint64(3);
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
        QVERIFY(outcome.finished);
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), pageFile);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedPages(h.forum, Henu, 1, pagesWritten));
        if (outcome.completed)
            return;
        const ExportFailure &failure = outcome.failure;
        QCOMPARE(failure.cause, ExportFailure::Cause::PageFailed);
        QCOMPARE(failure.page, pagesWritten + 1);
        QCOMPARE(failure.input ? int(failure.input->box) : -1, box);
        QCOMPARE(failure.fetch.has_value(), box < 0);
    }

    // The folder's record says where to carry on, unless the page was the last.
    void stopFromAPageFinishedSlotEndsThere_data()
    {
        QTest::addColumn<QString>("toRank");
        QTest::addColumn<qint64>("recorded"); // the record's next rank; 0: none
        QTest::newRow("pages left") << QStringLiteral("60") << qint64(21);
        QTest::newRow("the last page") << QStringLiteral("20") << qint64(0);
    }
    void stopFromAPageFinishedSlotEndsThere()
    {
        QFETCH(QString, toRank);
        QFETCH(qint64, recorded);
        ExportHarness h;
        h.inputs.toRank = toRank;
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
        const ResumeLoad record = LoadResumePoint(h.dir.path());
        QCOMPARE(record.point ? record.point->nextRank : 0, recorded);
    }
};

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
