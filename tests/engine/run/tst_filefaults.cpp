#include "tests/support/diskfull.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"
#include "tests/support/scriptedserver.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrune;

namespace {

// Takes write access away, even from root (who ignores modes), and gives it
// back on destruction so the temporary directory can be removed.
class Unwritable
{
public:
    explicit Unwritable(QString path)
        : path_(std::move(path))
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0)
            immutable_ =
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~Unwritable()
    {
        if (immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool Effective() const { return ::geteuid() != 0 || immutable_; }

private:
    QString path_;
    bool immutable_ = false;
};

// What a row finds in the export's directory, and what it may change.
struct Scene
{
    ExportHarness &h;
    QString results = h.FilePath(ResultsFileName);
    QString page = h.FilePath(PageFileName);
    QString victim = h.FilePath("victim.txt");
    std::optional<Unwritable> guard{};
    DiskFull diskFull{"jieguo.txt", 2};
    QLockFile otherRun{h.FilePath(LockFileName)};
};

struct Case
{
    std::function<bool(Scene &)> setup; // false: it could not be made
    const char *file = "jieguo.txt";    // the detail starts with it
    const char *reason = "";            // and holds it
    ExportFailure::Cause cause = ExportFailure::Cause::PageFailed;
    int pagesWritten = 0; // whole pages in jieguo.txt after "earlier"
    bool resultsGone = false;
};

bool Fifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Case)

class TestFileFaults : public QObject
{
    Q_OBJECT

private slots:
    void fileFaults_data()
    {
        QTest::addColumn<Case>("c");
        const auto row = [](const char *name, const Case &c) {
            QTest::newRow(name) << c;
        };
        const char *link = "是符号链接";
        const char *notRegular = "不是普通文件";
        row("results read-only",
            {.setup = [](Scene &s) { return s.guard.emplace(s.results), true; },
             .reason = "拒绝访问"});
        row("directory not writable",
            {.setup = [](Scene &s) { return s.guard.emplace(s.h.dir.path()), true; },
             .cause = ExportFailure::Cause::NoLock});
        row("disk full on page 2",
            {.setup = [](Scene &s) { return s.h.exporter.SetWriteFault(&s.diskFull), true; },
             .reason = "磁盘空间不足",
             .pagesWritten = 1});
        row("page file is a directory",
            {.setup =
                 [](Scene &s) { return QDir(s.h.dir.path()).mkdir(QLatin1String(PageFileName)); },
             .file = "temp.txt",
             .reason = "是一个文件夹"});
        row("page file links to another file",
            {.setup = [](Scene &s) { return QFile::link(s.victim, s.page); },
             .file = "temp.txt",
             .reason = link});
        row("results file links to another file",
            {.setup = [](Scene &s) { return QFile::link(s.victim, s.results); },
             .reason = link,
             .resultsGone = true});
        row("page file is a FIFO", {.setup = [](Scene &s) { return Fifo(s.page); },
                                    .file = "temp.txt",
                                    .reason = notRegular});
        row("results file is a FIFO", {.setup = [](Scene &s) { return Fifo(s.results); },
                                       .reason = notRegular,
                                       .resultsGone = true});
        row("another run holds the directory",
            {.setup = [](Scene &s) { return s.otherRun.tryLock(0); },
             .file = "kestrune.lock",
             .reason = "另一个导出",
             .cause = ExportFailure::Cause::DirectoryBusy});
    }
    void fileFaults()
    {
        QFETCH(Case, c);
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("40");
        const QByteArray earlier = "earlier\r\n";
        const QByteArray victimBytes = "not ours\r\n";
        Scene scene{h};
        QVERIFY(WriteFile(scene.results, earlier) && WriteFile(scene.victim, victimBytes));
        QVERIFY(!c.resultsGone || QFile::remove(scene.results));
        QVERIFY(c.setup(scene));
        if (scene.guard && !scene.guard->Effective())
            QSKIP("cannot take write access away here");

        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        const ExportFailure &failure = outcome.failure;
        QCOMPARE(failure.cause, c.cause);
        if (c.cause == ExportFailure::Cause::DirectoryBusy)
            QCOMPARE(failure.lockOwner, QCoreApplication::applicationPid());
        if (c.cause == ExportFailure::Cause::PageFailed) {
            QCOMPARE(failure.error->Kind(), ErrorKind::FileError);
            const QString detail = QString::fromStdString(failure.error->Detail());
            QVERIFY2(detail.startsWith(QLatin1String(c.file)), qPrintable(detail));
            QVERIFY2(detail.contains(QString::fromUtf8(c.reason)), qPrintable(detail));
            QCOMPARE(failure.page, 1 + c.pagesWritten);
        }
        QCOMPARE(failure.resumeRank, 1 + 20 * c.pagesWritten);
        // Names that never reached the file use up no numbers.
        QCOMPARE(h.exporter.Scanner().RankCounter, 20 * c.pagesWritten);
        QCOMPARE(FileBytes(scene.victim), victimBytes);
        if (!c.resultsGone)
            QCOMPARE(FileBytes(scene.results),
                     earlier + ExpectedPages(h.forum, "Henu", 1, c.pagesWritten));
        // A busy directory is found before any request.
        QVERIFY(c.cause != ExportFailure::Cause::DirectoryBusy || h.forum.RequestCount() == 0);
    }

    // Every page is in the file; only the closing line end failed.
    void closingTheLastLineFails()
    {
        ScriptedServer server;
        QVERIFY(server.Listen({{}, {.body = ScriptedServer::PageEndingOnAName()}}));
        ExportHarness h;
        h.exporter.SetHost(LocalHost(server.Port()));
        h.inputs.toRank = QStringLiteral("40");
        DiskFull diskFull("jieguo.txt", 3);
        h.exporter.SetWriteFault(&diskFull);
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::LastLineEnd);
        QCOMPARE(outcome.failure.namesWritten, 3);
        QCOMPARE(outcome.failure.resumeRank, 41);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), GoodLines() + " 3     ZZZ              ");
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
