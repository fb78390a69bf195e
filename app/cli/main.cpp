// Runs one export from the command line with the texts the window's boxes
// would hold.
#include "app/cli/comparetables.h"
#include "app/cli/continuedrun.h"
#include "app/cli/progressline.h"
#include "engine/messages/failuremessage.h"
#include "engine/messages/inputmessage.h"
#include "engine/messages/runreportmessage.h"
#include "engine/run/exporter.h"
#include "engine/run/exportinputs.h"
#include "engine/run/inputcheck.h"
#include "engine/write/exportfiles.h"
#include "platform/clock.h"
#include "platform/consoleoutput.h"
#include "platform/qttranslation.h"
#include "platform/stopsignals.h"
#include "startup/helptext.h"
#include "startup/settingsstore.h"
#include "startup/shellquote.h"
#include "startup/startup.h"
#include "startup/startupmessages.h"
#include "startup/terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstdio>

using namespace kestrune;

namespace {

void Print(std::FILE *stream, const QString &line)
{
    PrintLine(stream, line);
}

// The same run from `rank` on, its first line numbered `number`, ready to
// paste into a shell.
QString ResumeCommand(const QCommandLineParser &parser, const QList<QCommandLineOption> &carried,
                      qint64 rank, qint64 number, const QString &table)
{
    QStringList words{QCoreApplication::arguments().constFirst()};
    for (const QCommandLineOption &option : carried) {
        if (option.names().constFirst() == QLatin1String("from"))
            words << QStringLiteral("--from") << QString::number(rank);
        else if (option.names().constFirst() == QLatin1String("number-from"))
            words << QStringLiteral("--number-from") << QString::number(number);
        else if (parser.isSet(option) && option.valueName().isEmpty())
            words << QStringLiteral("--") + option.names().constFirst();
        else if (parser.isSet(option))
            words << QStringLiteral("--") + option.names().constFirst() << parser.value(option);
    }
    // The same table, whether named or made by the run.
    if (!table.isEmpty())
        words << QStringLiteral("--table") << QDir::toNativeSeparators(table);
    return QuoteCommandLine(words, NativeShell);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    IdentifyApplication(QStringLiteral("kestrune-cli"));
    InstallQtTranslation();

    QCommandLineParser parser;
    // No --help-all: none of Qt's own options apply to this program.
    parser.addOption(HelpOption());
    parser.addVersionOption();
    const ConnectionOptions connection;
    connection.AddTo(
        parser,
        QStringLiteral("把论坛的会员排名导出到 jieguo.txt，并为每次导出另存一份表格（.csv）。"));
    // Each default is told in its description too: Qt shows none.
    const QCommandLineOption forum(QStringLiteral("forum"), QStringLiteral("论坛名，默认为 Henu。"),
                                   QStringLiteral("名称"), QStringLiteral("Henu"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("起始名次，默认为 1。"),
                                  QStringLiteral("名次"), QStringLiteral("1"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("结束名次，默认为 2000。"),
                                QStringLiteral("名次"), QStringLiteral("2000"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("每页之间的停顿，单位为十分之一秒，默认为 10。"),
                                   QStringLiteral("十分之一秒"), QStringLiteral("10"));
    const QCommandLineOption numberFrom(
        QStringLiteral("number-from"),
        QStringLiteral("这次写入的第一行的编号，默认为 1；继续导出时接着上次的编号。"),
        QStringLiteral("编号"), QStringLiteral("1"));
    const QCommandLineOption table(
        QStringLiteral("table"),
        QStringLiteral("这次导出的表格写到这个文件；已有的本程序表格会接着写入。"
                       "默认在结果所在的文件夹中另建“论坛名_日期-时间.csv”。"),
        QStringLiteral("文件"));
    const QCommandLineOption continueRun(
        QStringLiteral("continue"),
        QStringLiteral("接着结果文件夹里上次没有完成的导出：论坛名、名次、编号、表格和连接设置"
                       "都沿用续传记录（kestrune.resume）里的；另给的 --delay、--host、"
                       "--retries、--timeout 优先。"));
    const QCommandLineOption compare(
        QStringLiteral("compare"),
        QStringLiteral("比较两次导出的表格：--compare 旧表格.csv 新表格.csv。在标准输出列出新进、"
                       "跌出、上升、下降和不变的人数；加上 --table 文件，另存每个会员的变化。"
                       "不下载任何页面。"));
    parser.addOptions({forum, from, to, delay, numberFrom, table, continueRun, compare});
    // The window's boxes, in InputBox's order, as this program names them.
    const auto optionOf = [options = std::array{&forum, &from, &to, &delay}](InputBox box) {
        return QStringLiteral("--") +
               options.at(static_cast<std::size_t>(box))->names().constFirst();
    };
    if (!parser.parse(QCoreApplication::arguments())) {
        Print(stderr, parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt would print it in the ANSI code page only, and misalign Chinese.
        Print(stdout, HelpText(parser,
                               connection.List() + QList{forum, from, to, delay, numberFrom, table,
                                                         continueRun, compare},
                               TerminalColumns(stdout), HelpAll::Absent));
        return 0;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    // Before the settings: comparing needs no host, and a bad one stored
    // should not stop it.
    if (parser.isSet(compare))
        return CompareTables(parser, table);
    if (!parser.positionalArguments().isEmpty()) {
        Print(stderr, QStringLiteral("多余的参数：%1")
                          .arg(parser.positionalArguments().join(QLatin1Char(' '))));
        return 2;
    }

    StartupResult startup = connection.Resolve(parser, SettingsStore());
    const std::optional<qint64> firstNumber = ReadFirstNumber(parser.value(numberFrom));
    if (!firstNumber)
        startup.errors.append(
            {.kind = StartupError::Kind::BadFirstNumber, .value = parser.value(numberFrom)});
    // --number-from is read after the settings were saved; both are told.
    if (startup.saved)
        PrintMessage(stderr, DescribeSaved(*startup.saved));
    if (!startup.errors.isEmpty()) {
        PrintMessage(stderr, DescribeStartupErrors(startup.errors));
        return 2;
    }

    std::optional<ResumePoint> continued;
    if (parser.isSet(continueRun)) {
        if (std::ranges::any_of(std::array{&forum, &from, &to, &numberFrom, &table},
                                [&parser](const auto *option) { return parser.isSet(*option); })) {
            Print(stderr, QStringLiteral("--continue 沿用上次导出的论坛名、名次、编号和表格，"
                                         "不能和 --forum、--from、--to、--number-from、"
                                         "--table 一起使用。"));
            return 2;
        }
        continued = RunToContinue(QDir(startup.results.folder));
        if (!continued)
            return 2;
    }
    const TextInputs inputs =
        continued ? TextInputs(continued->forum, QString::number(continued->nextRank),
                               QString::number(continued->toRank),
                               parser.isSet(delay) ? parser.value(delay) : continued->delay)
                  : TextInputs(parser.value(forum), parser.value(from), parser.value(to),
                               parser.value(delay));
    const Clock &clock = SystemClock::Instance();
    Exporter exporter(inputs, clock);
    ApplyConnection(startup.connection, exporter);
    exporter.SetNextNumber(*firstNumber);
    if (!startup.results.folder.isEmpty())
        exporter.SetDirectory(QDir(startup.results.folder));
    // A table named on the command line is wanted whatever is stored.
    exporter.SetTableOn(startup.results.table || parser.isSet(table));
    if (parser.isSet(table) && parser.isSet(connection.noTable)) {
        Print(stderr, QStringLiteral("--table 和 --no-table 不能同时使用。"));
        return 2;
    }
    if (parser.isSet(table))
        exporter.ContinueTable(QFileInfo(parser.value(table)).absoluteFilePath());
    if (continued && !SetUpContinuedRun(exporter, *continued,
                                        {.host = parser.isSet(connection.host),
                                         .retries = parser.isSet(connection.retries),
                                         .timeout = parser.isSet(connection.timeout)}))
        return 2;

    // A signal stops the run as the window's 停止 does; its message tells
    // where to resume, and the exit status says which signal it was.
    StopSignals stopSignals;
    int stoppedBy = 0;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, [&](int signalNumber) {
        stoppedBy = signalNumber;
        if (exporter.IsRunning()) {
            exporter.Stop();
            return;
        }
        QCoreApplication::exit(128 + signalNumber);
        stopSignals.StopHandled();
    });

    ProgressLine progress(exporter, inputs, stderr, clock);
    QObject::connect(&exporter, &Exporter::retryScheduled, [&](qint64 page, int retry, qint64 ms) {
        progress.End();
        Print(stderr, DescribeRetry(page, retry, ms));
    });
    const auto printTable = [](const QString &path) {
        if (!path.isEmpty())
            Print(stderr, QStringLiteral("表格文件：%1").arg(QDir::toNativeSeparators(path)));
    };
    const QString resultsPath = QDir::toNativeSeparators(
        exporter.Directory().absoluteFilePath(QLatin1String(ResultsFileName)));
    QObject::connect(&exporter, &Exporter::completed, [&](const RunReport &report) {
        progress.End();
        Print(stdout, CompletionMessage());
        Print(stderr, DescribeRunReport(report));
        Print(stderr, QStringLiteral("结果文件：%1").arg(resultsPath));
        printTable(exporter.TablePath());
        QCoreApplication::exit(0);
    });
    QObject::connect(&exporter, &Exporter::failed, [&](const ExportFailure &failure) {
        progress.End();
        // Said first: the failure below is only its consequence.
        if (NoForumAddressSet(startup, failure))
            PrintMessage(stderr, DescribeNoForumAddress());
        if (failure.cause == ExportFailure::Cause::BadInput)
            PrintMessage(stderr,
                         DescribeInputProblem(*failure.input, optionOf(failure.input->box)));
        else
            PrintMessage(
                stderr,
                DescribeFailure(failure, {.forumAddress = QStringLiteral("用 --host 指定"),
                                          .caFile = QStringLiteral("用 --ca-file 指定"),
                                          .timeout = QStringLiteral("用 --timeout 指定秒数"),
                                          .otherFolder = QStringLiteral("先用 cd 进入那个文件夹"),
                                          .retries = QStringLiteral("加上 --retries 次数"),
                                          .resume = QStringLiteral("从第 %1 名开始可以继续导出，"
                                                                   "命令见下。")}));
        if (failure.RunStarted()) {
            Print(stderr, DescribeRunReport(failure.report) + QLatin1Char('\n') +
                              QStringLiteral("结果文件：%1").arg(resultsPath));
            printTable(exporter.TablePath());
        }
        // A continued run's own command continues it again.
        if (failure.RunStarted() && continued)
            Print(stderr, QStringLiteral("继续导出可运行：\n") +
                              QuoteCommandLine(QCoreApplication::arguments(), NativeShell));
        else if (failure.RunStarted())
            Print(stderr,
                  QStringLiteral("继续导出可运行：\n") +
                      ResumeCommand(parser,
                                    {connection.host, connection.caFile, connection.retries,
                                     connection.timeout, connection.folder, connection.noTable,
                                     forum, from, to, delay, numberFrom},
                                    failure.resumeRank, exporter.Scanner().RankCounter + 1,
                                    exporter.TablePath()));
        QCoreApplication::exit(stoppedBy > 0 ? 128 + stoppedBy : 1);
        stopSignals.StopHandled();
    });
    // Queued so that an outcome reported at once still finds the loop running.
    QMetaObject::invokeMethod(&exporter, &Exporter::RunExport, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
