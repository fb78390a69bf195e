#include "ui/dialogs/outcomeboxes.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "engine/write/exportfiles.h"
#include "ui/dialogs/settingwords.h"

#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace kestrune {

namespace {

// Repeated names a box lists; the rest wait in its detail.
constexpr std::size_t MaxNamesInBox = 20;

QString OnMenu(const QString &item)
{
    return QStringLiteral("在窗口上单击右键，选“%1”").arg(item);
}

} // namespace

MessageBox::Content CompletionBox(const QString &message, const RunReport &report,
                                  const QDir &directory, const QString &table)
{
    QString words = DescribeRunReport(report, MaxNamesInBox) +
                    QStringLiteral("\n结果文件：%1")
                        .arg(QDir::toNativeSeparators(
                            directory.absoluteFilePath(QLatin1String(ResultsFileName))));
    if (!table.isEmpty())
        words += QStringLiteral("\n表格文件：%1").arg(QDir::toNativeSeparators(table));
    return {.message = {message, DescribeRepeatedNames(report)},
            .report = words,
            .choice = QStringLiteral("打开所在文件夹"),
            .otherChoice = table.isEmpty() ? QString() : QStringLiteral("打开表格")};
}

MessageBox::Content FailureBox(const ExportFailure &failure)
{
    const UserMessage message = DescribeFailure(
        failure, {.forumAddress = OnMenu(HostMenuItem()),
                  .caFile = OnMenu(CaFileMenuItem()),
                  .timeout = OnMenu(TimeoutMenuItem()),
                  .otherFolder = OnMenu(FolderMenuItem()) + QStringLiteral("另选一个文件夹"),
                  .retries = QStringLiteral("在右键菜单中设置重试次数"),
                  .resume = QStringLiteral("单击“从第 %1 名继续”可以接着导出。")});
    if (!failure.RunStarted())
        return {.kind = MessageBox::Kind::Error, .message = message};
    QStringList detail{message.detail, DescribeRepeatedNames(failure.report)};
    detail.removeAll(QString());
    // A stopped run carries on as easily as one that failed.
    return {.kind = failure.cause == ExportFailure::Cause::Stopped ? MessageBox::Kind::Notice
                                                                   : MessageBox::Kind::Error,
            .message = {message.text, detail.join(QStringLiteral("\n\n"))},
            .report = DescribeRunReport(failure.report, MaxNamesInBox),
            .choice = QStringLiteral("从第 %1 名继续").arg(failure.resumeRank)};
}

void OpenTable(QWidget *parent, const QString &table)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(table)))
        MessageBox::Show(parent, MessageBox::Kind::Error,
                         {QStringLiteral("无法打开表格 %1：这台电脑上没有打开 .csv "
                                         "文件的程序。\n可以在电子表格程序中用“打开”选择这个文件。")
                              .arg(QDir::toNativeSeparators(table))});
}

} // namespace kestrune
