#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>
#include <qt_windows.h>

using namespace kestrune;

namespace {

const QByteArray Earlier = "earlier\r\n";
const QByteArray HeDaGbk = "\xBA\xD3\xB4\xF3"; // 河大

struct HandleCloser
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring Wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Another program holding the file open and letting nobody else in.
Handle HoldWithoutSharing(const QString &path)
{
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

enum class Setup
{
    ReadOnlyResults,
    ResultsHeldOpen,
    PageFileHeldOpen,
};

} // namespace

class TestWindowsFiles : public QObject
{
    Q_OBJECT

private slots:
    void refusedFile_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        const QString held = QStringLiteral("正被其他程序使用");
        QTest::newRow("read-only jieguo.txt")
            << Setup::ReadOnlyResults << "jieguo.txt" << QStringLiteral("拒绝访问");
        QTest::newRow("jieguo.txt open in another program")
            << Setup::ResultsHeldOpen << "jieguo.txt" << held;
        QTest::newRow("temp.txt open in another program")
            << Setup::PageFileHeldOpen << "temp.txt" << held;
    }
    void refusedFile()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        ExportHarness h;
        const QString results = h.FilePath(ResultsFileName);
        {
            QFile existing(results);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write(Earlier);
        }
        Handle held;
        switch (setup) {
        case Setup::ReadOnlyResults:
            QVERIFY(SetFileAttributesW(Wide(results).c_str(), FILE_ATTRIBUTE_READONLY));
            break;
        case Setup::ResultsHeldOpen:
            held = HoldWithoutSharing(results);
            break;
        case Setup::PageFileHeldOpen:
            held = HoldWithoutSharing(h.FilePath(PageFileName));
            break;
        }
        QVERIFY(setup == Setup::ReadOnlyResults || held);

        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        const ExportFailure &failure = outcome.failure;
        QCOMPARE(failure.cause, ExportFailure::Cause::PageFailed);
        QCOMPARE(failure.error->Kind(), ErrorKind::FileError);
        const QString detail = QString::fromStdString(failure.error->Detail());
        QVERIFY2(detail.startsWith(file) && detail.contains(reason), qPrintable(detail));
        QVERIFY2(outcome.message.contains(QStringLiteral("文件错误")), qPrintable(outcome.message));
        QCOMPARE(failure.resumeRank, 1);
        held.reset();
        SetFileAttributesW(Wide(results).c_str(), FILE_ATTRIBUTE_NORMAL);
        QCOMPARE(FileBytes(results), Earlier);
    }

    // The files are opened through their wide-character names.
    void chineseFolderWithSpaces()
    {
        ExportHarness h;
        const QString folder = h.dir.filePath(QStringLiteral("论坛 导出 结果"));
        QVERIFY(QDir().mkpath(folder));
        h.exporter.SetDirectory(QDir(folder));
        h.inputs.forumName = QStringLiteral("河大");
        h.inputs.toRank = QStringLiteral("40");
        const RunOutcome outcome = h.Run();
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(FileBytes(folder + QStringLiteral("/jieguo.txt")),
                 ExpectedPages(h.forum, HeDaGbk, 1, 2));
        QVERIFY(QFile::exists(folder + QStringLiteral("/temp.txt")));
        QVERIFY(!QFile::exists(h.FilePath(ResultsFileName)));
    }
};

QTEST_GUILESS_MAIN(TestWindowsFiles)
#include "tst_windowsfiles.moc"
