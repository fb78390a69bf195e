#include "expectedresults.h"
#include "exportharness.h"

#include <QFile>
#include <QProcess>
#include <QTest>
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

} // namespace

class TestFileFaults : public QObject
{
    Q_OBJECT

private slots:
    void fileFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("results read-only") << "read-only"
                                           << "jieguo.txt" << QString();
        QTest::newRow("directory not writable") << "dir"
                                                << "temp.txt" << QString();
        QTest::newRow("disk full") << "full"
                                   << "jieguo.txt"
                                   << "No space left on device";
        QTest::newRow("page file is a directory") << "is-dir"
                                                  << "temp.txt"
                                                  << "Is a directory";
    }
    void fileFaults()
    {
        QFETCH(QString, fault);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("40");
        const QByteArray earlier = "earlier\r\n";
        const QString results = h.FilePath(ResultsFileName);
        if (fault != QStringLiteral("full")) {
            QFile existing(results);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write(earlier);
        }
        std::optional<Unwritable> guard;
        if (fault == QStringLiteral("read-only")) {
            guard.emplace(results);
        } else if (fault == QStringLiteral("dir")) {
            guard.emplace(h.dir.path());
        } else if (fault == QStringLiteral("full")) {
            if (!QFile::exists(QStringLiteral("/dev/full")))
                QSKIP("no /dev/full here");
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), results));
        } else {
            QVERIFY(QDir(h.dir.path()).mkdir(QLatin1String(PageFileName)));
        }
        if (guard && !guard->Effective())
            QSKIP("cannot take write access away here");

        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QVERIFY2(outcome.message.contains(QStringLiteral("文件错误")), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(file), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(reason), qPrintable(outcome.message));
        QVERIFY(outcome.message.contains(QStringLiteral("从第 1 名")));
        // Names that never reached the file use up no numbers.
        QCOMPARE(h.exporter.Scanner().RankCounter, 0);
        if (fault != QStringLiteral("full"))
            QCOMPARE(FileBytes(results), earlier);
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
