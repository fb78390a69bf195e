// kestrune-cli --compare: what it prints and writes, and what it refuses.
#include "tests/support/expectedresults.h"
#include "tests/support/runprogram.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

namespace {

const char *const Older = "\xEF\xBB\xBF名次,会员名,等级\r\n"
                          "1,甲,5\r\n2,乙,4\r\n3,\"'=1+1\",4\r\n4,丙,3\r\n";
const char *const Newer = "\xEF\xBB\xBF名次,会员名,等级\r\n"
                          "1,乙,5\r\n2,甲,5\r\n3,\"'=1+1\",4\r\n4,丁,1\r\n";

struct Case
{
    const char *args;
    int exitCode = 0;
    const char *out = "";
    const char *err = "";        // a part of it
    const char *table = nullptr; // out.csv after the run; none: not there
    const char *older = Older;
};

} // namespace

Q_DECLARE_METATYPE(Case)

class TestCliCompare : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<Case>("c");
        const char *const summary = "新进 1 人，跌出 1 人，上升 1 人，下降 1 人，不变 1 人\n"
                                    "等级升高 1 人，共升 1 级；等级降低 0 人。\n";
        QTest::newRow("summary only") << Case{.args = "--compare H_20261201-100000.csv "
                                                      "H_20261208-100000.csv",
                                              .out = summary};
        QTest::newRow("and the table")
            << Case{.args = "--compare H_20261201-100000.csv H_20261208-100000.csv --table out.csv",
                    .out = summary,
                    .table = "\xEF\xBB\xBF会员名,旧名次,新名次,变化,旧等级,新等级,类别\r\n"
                             "乙,2,1,1,4,5,上升\r\n甲,1,2,-1,5,5,下降\r\n"
                             "'=1+1,3,3,0,4,4,不变\r\n丁,,4,,,1,新进\r\n丙,4,,,3,,跌出\r\n"};
        QTest::newRow("two forums")
            << Case{.args = "--compare H_20261201-100000.csv X_20261208-100000.csv",
                    .out = "注意：两张表格是不同论坛的，旧的是 H，新的是 X。\n"
                           "新进 1 人，跌出 1 人，上升 1 人，下降 1 人，不变 1 人\n"
                           "等级升高 1 人，共升 1 级；等级降低 0 人。\n"};
        QTest::newRow("not a table of ours")
            << Case{.args = "--compare H_20261201-100000.csv H_20261208-100000.csv --table out.csv",
                    .exitCode = 1,
                    .err = "H_20261201-100000.csv”不能比较：第 3 行：有 2 项，应为 3 项。",
                    .older = "\xEF\xBB\xBF名次,会员名,等级\r\n1,甲,5\r\n2,乙\r\n"};
        QTest::newRow("no byte-order mark")
            << Case{.args = "--compare H_20261201-100000.csv H_20261208-100000.csv",
                    .exitCode = 1,
                    .err = "第 1 行：文件开头没有 UTF-8 的字节顺序标记（BOM）。",
                    .older = "名次,会员名,等级\r\n1,甲,5\r\n"};
        QTest::newRow("a missing file")
            << Case{.args = "--compare nothing.csv H_20261208-100000.csv --table out.csv",
                    .exitCode = 1,
                    .err = "无法读取表格“nothing.csv”"};
        QTest::newRow("an export is never overwritten")
            << Case{.args = "--compare H_20261201-100000.csv H_20261208-100000.csv "
                            "--table H_20261208-100000.csv",
                    .exitCode = 1,
                    .err = "是导出的表格，不能用比较结果覆盖它"};
        QTest::newRow("one table")
            << Case{.args = "--compare H_20261201-100000.csv", .exitCode = 2, .err = "用法"};
        QTest::newRow("with an export's option")
            << Case{.args = "--compare H_20261201-100000.csv H_20261208-100000.csv --to 40",
                    .exitCode = 2,
                    .err = "不能再加别的选项"};
    }
    void compare()
    {
        QFETCH(Case, c);
        const QTemporaryDir dir;
        const QTemporaryDir config;
        const QDir folder(dir.path());
        QVERIFY(WriteFile(folder.filePath(QStringLiteral("H_20261201-100000.csv")), c.older));
        for (const char *name : {"H_20261208-100000.csv", "X_20261208-100000.csv"})
            QVERIFY(WriteFile(folder.filePath(QString::fromLatin1(name)), Newer));
        const ProgramResult result =
            RunProgram(QStringLiteral(KESTRUNE_CLI), QString::fromUtf8(c.args).split(u' '),
                       dir.path(), config.path());
        QCOMPARE(result.exitCode, c.exitCode);
        QCOMPARE(result.out, QString::fromUtf8(c.out));
        QVERIFY2(result.err.contains(QString::fromUtf8(c.err)), qPrintable(result.err));
        const QString out = folder.filePath(QStringLiteral("out.csv"));
        QCOMPARE(QFile::exists(out), c.table != nullptr);
        if (c.table)
            QCOMPARE(FileBytes(out), QByteArray(c.table));
        QCOMPARE(FileBytes(folder.filePath(QStringLiteral("H_20261208-100000.csv"))),
                 QByteArray(Newer));
    }
};

QTEST_GUILESS_MAIN(TestCliCompare)
#include "tst_clicompare.moc"
