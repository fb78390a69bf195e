// 比较两次导出 on the offscreen platform: what it picks, shows, sorts,
// filters and saves.
#include "tests/support/expectedresults.h"
#include "ui/compare/comparewindow.h"
#include "ui/compare/comparisonmodel.h"
#include "ui/compare/levelchart.h"
#include "ui/dialogs/filedialog.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

namespace {

QByteArray Table(const char *rows)
{
    return QByteArray("\xEF\xBB\xBF名次,会员名,等级\r\n") + rows;
}

// Older: 甲 乙 丙 丁 at 1–4; newer: 乙 甲 丙 戊.
const QByteArray Older = Table("1,甲,5\r\n2,乙,4\r\n3,丙,4\r\n4,丁,3\r\n");
const QByteArray Newer = Table("1,乙,5\r\n2,甲,5\r\n3,丙,4\r\n4,戊,1\r\n");

template <typename Widget> Widget *Child(const QWidget &window, const char *name)
{
    auto *child = window.findChild<Widget *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

QStringList Column(const ComparisonModel &model, int column)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells << model.index(row, column).data().toString();
    return cells;
}

} // namespace

class TestCompareWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString Write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        return WriteFile(path, bytes) ? path : QString();
    }

    static bool Shown(CompareWindow &window)
    {
        QSignalSpy shown(&window, &CompareWindow::comparisonShown);
        return shown.wait(10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!Write("Henu_20261101-090000.csv", Table("1,旧,1\r\n")).isEmpty());
        QVERIFY(!Write("Henu_20261201-090000.csv", Older).isEmpty());
        QVERIFY(!Write("Henu_20261208-090000.csv", Newer).isEmpty());
        QVERIFY(!Write("河大_20261209-090000.csv", Table("1,x,1\r\n")).isEmpty());
        QVERIFY(!Write("Latin_20261201-090000.csv", Table("1,ZGrjd,1\r\n2,abc,1\r\n")).isEmpty());
        QVERIFY(!Write("Latin_20261208-090000.csv", Table("1,abc,1\r\n2,zgRJD,1\r\n")).isEmpty());
    }

    void picksTheForumsTwoNewest()
    {
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Henu"));
        QVERIFY(Shown(window));
        QVERIFY(Child<QLineEdit>(window, "olderTable")
                    ->text()
                    .endsWith(QStringLiteral("Henu_20261201-090000.csv")));
        QVERIFY(Child<QLineEdit>(window, "newerTable")
                    ->text()
                    .endsWith(QStringLiteral("Henu_20261208-090000.csv")));
        QCOMPARE(Child<QLabel>(window, "summary")->text(),
                 QStringLiteral("新进 1 人，跌出 1 人，上升 1 人，下降 1 人，不变 1 人"));
        QCOMPARE(Child<QComboBox>(window, "kindFilter")->itemText(1), QStringLiteral("新进（1）"));
        QCOMPARE(Column(window.Model(), ComparisonModel::ChangeColumn),
                 (QStringList{"↑ 1", "↓ 1", "不变", "新进", "跌出"}));
        QCOMPARE(window.findChild<LevelChart *>()->Levels(),
                 (std::vector<LevelCount>{{1, 0, 1}, {3, 1, 0}, {4, 2, 1}, {5, 1, 2}}));
    }

    void tooFewTables()
    {
        CompareWindow window(QDir(dir_.path()), QStringLiteral("河大"));
        QCOMPARE(window.Model().rowCount(), 0);
        QVERIFY(!Child<QPushButton>(window, "saveTable")->isEnabled());
        QVERIFY(Child<QLabel>(window, "summary")
                    ->text()
                    .contains(QStringLiteral("论坛 河大 的表格不到两张")));
    }

    void sortsFiltersAndSearches_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<int>("kind"); // combo box item; 0 all
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("by new rank") << int(ComparisonModel::NewerRankColumn) << Qt::AscendingOrder
                                     << 0 << QString() << QStringList{"乙", "甲", "丙", "戊", "丁"};
        // Members in one table only stay last either way.
        QTest::newRow("by new rank, descending")
            << int(ComparisonModel::NewerRankColumn) << Qt::DescendingOrder << 0 << QString()
            << QStringList{"戊", "丙", "甲", "乙", "丁"};
        QTest::newRow("by change: climbers first")
            << int(ComparisonModel::ChangeColumn) << Qt::AscendingOrder << 0 << QString()
            << QStringList{"乙", "丙", "甲", "戊", "丁"};
        QTest::newRow("by old level")
            << int(ComparisonModel::OlderLevelColumn) << Qt::AscendingOrder << 0 << QString()
            << QStringList{"丁", "乙", "丙", "甲", "戊"};
        QTest::newRow("the new only") << int(ComparisonModel::NewerRankColumn) << Qt::AscendingOrder
                                      << 1 << QString() << QStringList{"戊"};
        QTest::newRow("those gone") << int(ComparisonModel::NewerRankColumn) << Qt::AscendingOrder
                                    << 2 << QString() << QStringList{"丁"};
        QTest::newRow("a name") << int(ComparisonModel::NewerRankColumn) << Qt::AscendingOrder << 0
                                << QStringLiteral(" 丙 ") << QStringList{"丙"};
        QTest::newRow("a name not of that kind")
            << int(ComparisonModel::NewerRankColumn) << Qt::AscendingOrder << 3
            << QStringLiteral("丙") << QStringList{};
    }
    void sortsFiltersAndSearches()
    {
        QFETCH(int, sortColumn);
        QFETCH(Qt::SortOrder, order);
        QFETCH(int, kind);
        QFETCH(QString, search);
        QFETCH(QStringList, names);
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Henu"));
        QVERIFY(Shown(window));
        auto *view = window.findChild<QTableView *>();
        view->sortByColumn(sortColumn, order);
        Child<QComboBox>(window, "kindFilter")->setCurrentIndex(kind);
        // Typed as an input method commits Chinese.
        for (const QChar character : search) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(character));
            QCoreApplication::sendEvent(Child<QLineEdit>(window, "nameSearch"), &commit);
        }
        QCOMPARE(Column(window.Model(), ComparisonModel::NameColumn), names);
    }

    // Latin letters match in either case, not only as typed; a name changed
    // only in case is still another member.
    void searchIgnoresLatinCase()
    {
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Latin"));
        QVERIFY(Shown(window));
        Child<QLineEdit>(window, "nameSearch")->setText(QStringLiteral("gRj"));
        QCOMPARE(Column(window.Model(), ComparisonModel::NameColumn),
                 (QStringList{"zgRJD", "ZGrjd"}));
        QCOMPARE(Column(window.Model(), ComparisonModel::ChangeColumn),
                 (QStringList{"新进", "跌出"}));
    }

    void aLaterComparisonReplacesTheFirst()
    {
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Henu"));
        window.Compare(dir_.filePath(QStringLiteral("Henu_20261101-090000.csv")),
                       dir_.filePath(QStringLiteral("Henu_20261208-090000.csv")));
        QSignalSpy shown(&window, &CompareWindow::comparisonShown);
        QVERIFY(shown.wait(10000));
        QTest::qWait(100);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(window.Model().rowCount(), 5); // 旧 gone, four new
    }

    void tellsWhyATableCannotBeCompared()
    {
        const QString bad = Write("bad.csv", Table("1,甲\r\n"));
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Henu"));
        QVERIFY(Shown(window));
        FileDialog::SetNextChoice(bad);
        Child<QPushButton>(window, "newerChoose")->click();
        QVERIFY(Shown(window));
        QCOMPARE(window.Model().rowCount(), 0);
        QVERIFY(!Child<QPushButton>(window, "saveTable")->isEnabled());
        QVERIFY2(Child<QLabel>(window, "summary")
                     ->text()
                     .contains(QStringLiteral("bad.csv”不能比较：第 2 行：有 2 项")),
                 qPrintable(Child<QLabel>(window, "summary")->text()));
        QVERIFY(!window.SaveTo(dir_.filePath(QStringLiteral("nothing.csv"))));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("nothing.csv"))));
    }

    void savesTheComparison()
    {
        CompareWindow window(QDir(dir_.path()), QStringLiteral("Henu"));
        QVERIFY(Shown(window));
        const QString out = dir_.filePath(QStringLiteral("out.csv"));
        FileDialog::SetNextChoice(out);
        Child<QPushButton>(window, "saveTable")->click();
        QCOMPARE(FileBytes(out),
                 QByteArray("\xEF\xBB\xBF会员名,旧名次,新名次,变化,旧等级,新等级,类别\r\n"
                            "乙,2,1,1,4,5,上升\r\n甲,1,2,-1,5,5,下降\r\n丙,3,3,0,4,4,不变\r\n"
                            "戊,,4,,,1,新进\r\n丁,4,,,3,,跌出\r\n"));
        // An export's table is not overwritten.
        const QString newer = dir_.filePath(QStringLiteral("Henu_20261208-090000.csv"));
        QVERIFY(!window.SaveTo(newer));
        QCOMPARE(FileBytes(newer), Newer);
    }
};

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
