#include "platform/outputfile.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>
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

// Lets the n-th write to one file through by half, then fails it as a full
// disk would.
class FailNthWrite final : public WriteFault
{
public:
    FailNthWrite(std::string fileName, int n)
        : fileName_(std::move(fileName))
        , left_(n)
    {}
    std::size_t BytesBeforeFailure(const std::filesystem::path &path, std::size_t size) override
    {
        if (path.filename() != fileName_ || --left_ != 0)
            return size;
        return size / 2;
    }

private:
    std::string fileName_;
    int left_;
};

enum class Setup
{
    ReadOnlyResults,
    UnwritableDirectory,
    DiskFullOnPageTwo,
    PageFileIsDirectory,
    PageFileLinksToVictim,
    ResultsLinkToVictim,
    PageFileLinksToDevZero,
    PageFileIsFifo,
    ResultsIsFifo,
    AnotherRunHoldsLock,
};

} // namespace

class TestFileFaults : public QObject
{
    Q_OBJECT

private slots:
    void fileFaults_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("file");     // the detail starts with it
        QTest::addColumn<QString>("reason");   // and holds it
        QTest::addColumn<int>("pagesWritten"); // whole pages in jieguo.txt after "earlier"
        const QString link = QStringLiteral("是符号链接");
        const QString notRegular = QStringLiteral("不是普通文件");
        QTest::newRow("results read-only")
            << Setup::ReadOnlyResults << "jieguo.txt" << QStringLiteral("拒绝访问") << 0;
        QTest::newRow("directory not writable")
            << Setup::UnwritableDirectory << "kestrune.lock" << QString() << 0;
        QTest::newRow("disk full on page 2")
            << Setup::DiskFullOnPageTwo << "jieguo.txt" << QStringLiteral("磁盘空间不足") << 1;
        QTest::newRow("page file is a directory")
            << Setup::PageFileIsDirectory << "temp.txt" << QStringLiteral("是一个文件夹") << 0;
        QTest::newRow("page file links to another file")
            << Setup::PageFileLinksToVictim << "temp.txt" << link << 0;
        QTest::newRow("results file links to another file")
            << Setup::ResultsLinkToVictim << "jieguo.txt" << link << 0;
        QTest::newRow("page file links to /dev/zero")
            << Setup::PageFileLinksToDevZero << "temp.txt" << link << 0;
        QTest::newRow("page file is a FIFO")
            << Setup::PageFileIsFifo << "temp.txt" << notRegular << 0;
        QTest::newRow("results file is a FIFO")
            << Setup::ResultsIsFifo << "jieguo.txt" << notRegular << 0;
        QTest::newRow("another run holds the directory")
            << Setup::AnotherRunHoldsLock << "kestrune.lock" << QStringLiteral("另一个导出") << 0;
    }
    void fileFaults()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QFETCH(int, pagesWritten);
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("40");
        const QByteArray earlier = "earlier\r\n";
        const QString results = h.FilePath(ResultsFileName);
        const QString page = h.FilePath(PageFileName);
        const QString victim = h.FilePath("victim.txt");
        const QByteArray victimBytes = "not ours\r\n";
        {
            QFile existing(results);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write(earlier);
            QFile other(victim);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write(victimBytes);
        }
        if (setup == Setup::ResultsLinkToVictim || setup == Setup::ResultsIsFifo)
            QVERIFY(QFile::remove(results));
        std::optional<Unwritable> guard;
        FailNthWrite diskFull("jieguo.txt", 2);
        QLockFile otherRun(h.FilePath(LockFileName));
        switch (setup) {
        case Setup::ReadOnlyResults:
            guard.emplace(results);
            break;
        case Setup::UnwritableDirectory:
            guard.emplace(h.dir.path());
            break;
        case Setup::DiskFullOnPageTwo:
            h.exporter.SetWriteFault(&diskFull);
            break;
        case Setup::PageFileIsDirectory:
            QVERIFY(QDir(h.dir.path()).mkdir(QLatin1String(PageFileName)));
            break;
        case Setup::PageFileLinksToVictim:
            QVERIFY(QFile::link(victim, page));
            break;
        case Setup::ResultsLinkToVictim:
            QVERIFY(QFile::link(victim, results));
            break;
        case Setup::PageFileLinksToDevZero:
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), page));
            break;
        case Setup::PageFileIsFifo:
            QCOMPARE(::mkfifo(QFile::encodeName(page).constData(), 0600), 0);
            break;
        case Setup::ResultsIsFifo:
            QCOMPARE(::mkfifo(QFile::encodeName(results).constData(), 0600), 0);
            break;
        case Setup::AnotherRunHoldsLock:
            QVERIFY(otherRun.tryLock(0));
            break;
        }
        if (guard && !guard->Effective())
            QSKIP("cannot take write access away here");

        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        const ExportFailure &failure = outcome.failure;
        if (setup == Setup::AnotherRunHoldsLock) {
            QCOMPARE(failure.cause, ExportFailure::Cause::DirectoryBusy);
            QCOMPARE(failure.lockOwner, QCoreApplication::applicationPid());
        } else if (setup == Setup::UnwritableDirectory) {
            QCOMPARE(failure.cause, ExportFailure::Cause::NoLock);
        } else {
            QCOMPARE(failure.cause, ExportFailure::Cause::PageFailed);
            QCOMPARE(failure.error->Kind(), ErrorKind::FileError);
            const QString detail = QString::fromStdString(failure.error->Detail());
            QVERIFY2(detail.startsWith(file), qPrintable(detail));
            QVERIFY2(detail.contains(reason), qPrintable(detail));
            QCOMPARE(failure.page, 1 + pagesWritten);
        }
        QCOMPARE(failure.resumeRank, 1 + 20 * pagesWritten);
        // Names that never reached the file use up no numbers.
        QCOMPARE(h.exporter.Scanner().RankCounter, 20 * pagesWritten);
        QCOMPARE(FileBytes(victim), victimBytes);
        const QFileInfo resultsInfo(results);
        if (resultsInfo.isFile() && !resultsInfo.isSymLink())
            QCOMPARE(FileBytes(results),
                     earlier + (pagesWritten > 0 ? ExpectedPages(h.forum, "Henu", 1, pagesWritten)
                                                 : QByteArray()));
        if (setup == Setup::AnotherRunHoldsLock)
            QCOMPARE(h.forum.RequestCount(), 0);
    }

    // Every page is in the file; only the closing line end failed.
    void closingTheLastLineFails()
    {
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.Script({{}, {.body = ScriptedServer::PageEndingOnAName()}});
        ExportHarness h;
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.inputs.toRank = QStringLiteral("40");
        FailNthWrite diskFull("jieguo.txt", 3);
        h.exporter.SetWriteFault(&diskFull);
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::LastLineEnd);
        QCOMPARE(outcome.failure.namesWritten, 3);
        QCOMPARE(outcome.failure.resumeRank, 41);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), QByteArray(" 1     AAA              5\r\n"
                                                                    " 2     BBB              17\r\n"
                                                                    " 3     ZZZ              "));
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
