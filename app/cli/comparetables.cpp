#include "app/cli/comparetables.h"

#include "compare/summarywords.h"
#include "compare/tablefiles.h"
#include "platform/consoleoutput.h"

#include <QFileInfo>

namespace kestrune {

int CompareTables(const QCommandLineParser &parser, const QCommandLineOption &table)
{
    QStringList others = parser.optionNames();
    others.removeAll(QStringLiteral("compare"));
    others.removeAll(table.names().constFirst());
    if (!others.isEmpty() || parser.positionalArguments().size() != 2) {
        PrintLine(stderr, QStringLiteral("比较两次导出的用法：kestrune-cli --compare 旧表格.csv "
                                         "新表格.csv [--table 结果.csv]，不能再加别的选项。"));
        return 2;
    }
    const QString olderPath = parser.positionalArguments().at(0);
    const QString newerPath = parser.positionalArguments().at(1);
    const TableLoad older = LoadExportTable(olderPath);
    if (older.problem) {
        PrintMessage(stderr, *older.problem);
        return 1;
    }
    const TableLoad newer = LoadExportTable(newerPath);
    if (newer.problem) {
        PrintMessage(stderr, *newer.problem);
        return 1;
    }
    const std::optional<Comparison> comparison = Compare(older.table, newer.table);
    if (parser.isSet(table)) {
        const QString out = QFileInfo(parser.value(table)).absoluteFilePath();
        if (const std::optional<UserMessage> problem = SaveComparisonTable(out, *comparison)) {
            PrintMessage(stderr, *problem);
            return 1;
        }
    }
    for (const QString &line :
         DescribeComparison(comparison->Summary(), {.older = olderPath, .newer = newerPath}))
        PrintLine(stdout, line);
    return 0;
}

} // namespace kestrune
