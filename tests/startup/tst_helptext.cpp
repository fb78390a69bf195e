#include "startup/helptext.h"
#include "startup/startup.h"
#include "startup/terminal.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace kestrune;

class TestHelpText : public QObject
{
    Q_OBJECT

private slots:
    // Qt's words, in lines that fit and descriptions that line up; at 40
    // columns long names get lines of their own.
    void helpText_data()
    {
        QTest::addColumn<int>("columns");
        // Where descriptions start: "--delay <十分之一秒>" is 20 wide.
        QTest::addColumn<int>("descriptions");
        QTest::addColumn<HelpAll>("helpAll");
        QTest::newRow("40") << 40 << 20 << HelpAll::Offered;
        QTest::newRow("60") << 60 << 24 << HelpAll::Offered;
        QTest::newRow("100, no --help-all") << 100 << 24 << HelpAll::Absent;
    }
    void helpText()
    {
        QFETCH(int, columns);
        QFETCH(int, descriptions);
        QFETCH(HelpAll, helpAll);
        QCommandLineParser parser;
        if (helpAll == HelpAll::Offered)
            parser.addHelpOption();
        else
            parser.addOption(HelpOption());
        parser.addVersionOption();
        const ConnectionOptions connection;
        connection.AddTo(
            parser, QStringLiteral(
                        "把论坛的会员排名导出到 jieguo.txt，并为每次导出另存一份表格（.csv）。"));
        QCommandLineOption hidden(QStringLiteral("hidden"), QStringLiteral("不列出。"));
        hidden.setFlags(QCommandLineOption::HiddenFromHelp);
        const QCommandLineOption delay(
            QStringLiteral("delay"),
            QStringLiteral("每页之间的停顿，单位为十分之一秒（即 100 毫秒），默认为 10；“0”表示"
                           "不停顿，一页接一页地下载，直到结束名次所在的那一页为止。"),
            QStringLiteral("十分之一秒"));
        parser.addOptions({hidden, delay});
        const QString text =
            HelpText(parser, connection.List() + QList{hidden, delay}, columns, helpAll);
        const auto squeezed = [](QString words) {
            return words.remove(QRegularExpression("\\s"));
        };
        QCOMPARE(squeezed(text), squeezed(parser.helpText()));
        const QStringList lines = text.split(u'\n');
        const qsizetype options = lines.indexOf(QCommandLineParser::tr("Options:"));
        QVERIFY(options > 0);
        QSet<int> descriptionColumns;
        for (const QString &line : lines.sliced(1)) {
            QVERIFY2(DisplayColumns(line) <= columns, qPrintable(line));
            if (line.isEmpty())
                continue;
            QVERIFY2(!QStringLiteral("，。、：；）”").contains(line.trimmed().front()) &&
                         !QStringLiteral("（“").contains(line.back()),
                     qPrintable(line));
        }
        for (const QString &line : lines.sliced(options + 1)) {
            // A description follows an option's names after two spaces or more.
            const qsizetype gap = line.startsWith(u"  -") ? line.indexOf(u"  ", 2) : 0;
            if (gap >= 0)
                descriptionColumns
                    << DisplayColumns(line) - DisplayColumns(line.mid(gap).trimmed());
        }
        QCOMPARE(descriptionColumns, QSet{descriptions});
    }
};

QTEST_GUILESS_MAIN(TestHelpText)
#include "tst_helptext.moc"
