#include "startup/startupmessages.h"

#include "engine/retrywait.h"

#include <QDir>
#include <QStringList>

namespace kestrune {

namespace {

using Kind = StartupError::Kind;

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QString Example = QStringLiteral("如 bbs.example.cn 或 https://bbs.example.cn:8443");
const QString Shape = QStringLiteral("应写论坛的域名，需要时加冒号和端口号，") + Example;

QString Why(HostProblem problem)
{
    switch (problem) {
    case HostProblem::Empty:
    case HostProblem::NotAHost:
        return Shape;
    case HostProblem::BadPort:
        return QStringLiteral("冒号后面的端口号只能是数字，如 https://bbs.example.cn:8443");
    case HostProblem::BadScheme:
        return QStringLiteral("开头只能是 http:// 或 https://，也可以不写，如 bbs.example.cn");
    case HostProblem::PortOutOfRange:
        return QStringLiteral("端口超出范围，应为 1–65535");
    case HostProblem::UserInfo:
        return QStringLiteral("不能带用户名或密码，只写域名和端口，") + Example;
    case HostProblem::PathAfterHost:
        return QStringLiteral("只写域名和端口，不带后面的路径，") + Example;
    }
    return {};
}

// `what` is 论坛地址, or the stored one.
QString HostSentence(const QString &what, const HostError &error)
{
    if (error.problem == HostProblem::Empty)
        return QStringLiteral("%1是空的：%2。").arg(what, Why(error.problem));
    return QStringLiteral("%1“%2”有误：%3。").arg(what, error.text, Why(error.problem));
}

// A stored value is put right where it is kept; a given one, where it was given.
bool IsStored(const StartupError &error)
{
    return error.kind != Kind::NotSaved && !error.settingsFile.isEmpty();
}

// What went wrong, the same wherever it is told.
QString Happened(const StartupError &error)
{
    const bool stored = IsStored(error);
    switch (error.kind) {
    case Kind::BadHost:
    case Kind::BadStoredHost:
        return HostSentence(stored ? QStringLiteral("保存的论坛地址") : QStringLiteral("论坛地址"),
                            {error.hostProblem, error.value});
    case Kind::UnreadableCaFile:
    case Kind::UnreadableStoredCaFile:
        return (stored ? QStringLiteral("无法读取保存的 CA 证书文件 %1：")
                       : QStringLiteral("无法读取 CA 证书文件 %1："))
                   .arg(Native(error.value)) +
               QStringLiteral("找不到这个文件，或没有权限读取它。");
    case Kind::CaFileWithoutCertificate:
        return (stored ? QStringLiteral("保存的 CA 证书文件 %1 里没有证书。")
                       : QStringLiteral("CA 证书文件 %1 里没有证书。"))
            .arg(Native(error.value));
    case Kind::RememberAlone:
        return QStringLiteral("--remember 只保存同时给出的 --host、--ca-file、--retries 或 "
                              "--timeout，这次一个也没有给出。");
    case Kind::NotSaved:
        return QStringLiteral("设置没能保存到 %1：%2。")
            .arg(Native(error.settingsFile), error.notSaved == SettingsWriteError::Reason::NoAccess
                                                 ? QStringLiteral("没有写入这个文件的权限")
                                                 : QStringLiteral("这个文件的内容格式有误"));
    case Kind::BadRetries:
    case Kind::BadStoredRetries:
        return QStringLiteral("%1“%2”有误：应为 0 到 %3 的整数。")
            .arg(stored ? QStringLiteral("保存的重试次数") : QStringLiteral("重试次数"),
                 error.value)
            .arg(MaxRetries);
    case Kind::BadTimeout:
    case Kind::BadStoredTimeout:
        return QStringLiteral("%1“%2”有误：应为 %3 到 %4 的整数。")
            .arg(stored ? QStringLiteral("保存的超时秒数") : QStringLiteral("超时秒数"),
                 error.value)
            .arg(PageFetcher::MinTimeoutSeconds)
            .arg(PageFetcher::MaxTimeoutSeconds);
    case Kind::BadFirstNumber:
        return QStringLiteral("起始编号“%1”有误：应为 1 到 %2 的整数。")
            .arg(error.value)
            .arg(MaxFirstNumber);
    }
    return {};
}

QString FixFile(SettingsWriteError::Reason reason)
{
    return reason == SettingsWriteError::Reason::NoAccess
               ? QStringLiteral("请确认可以写入这个文件和它所在的文件夹")
               : QStringLiteral("请用文本编辑器（如记事本）打开它改正，或删掉它"
                                "（保存过的设置会一并丢失）");
}

// The entry as it stands in the file, for whoever edits it by hand.
QString StoredEntry(const StartupError &error)
{
    const auto entry = [&error](const char *key) {
        return QStringLiteral("[forum] %1=%2").arg(QLatin1String(key), error.value);
    };
    switch (error.kind) {
    case Kind::BadStoredHost:
        return entry("host");
    case Kind::BadStoredRetries:
        return entry("retries");
    case Kind::BadStoredTimeout:
        return entry("timeout");
    default:
        return IsStored(error) ? entry("caFile") : QString();
    }
}

QString Detail(const StartupError &error, bool fileInText = false)
{
    QStringList lines;
    if (IsStored(error) && !fileInText)
        lines << QStringLiteral("设置文件：%1").arg(Native(error.settingsFile));
    if (const QString entry = StoredEntry(error); !entry.isEmpty())
        lines << entry;
    if (error.kind == Kind::CaFileWithoutCertificate)
        lines << QStringLiteral("找的是 PEM 格式的证书：-----BEGIN CERTIFICATE----- 到 "
                                "-----END CERTIFICATE----- 之间的内容");
    if (error.kind == Kind::NotSaved)
        lines << (error.notSaved == SettingsWriteError::Reason::NoAccess
                      ? QStringLiteral("QSettings: AccessError")
                      : QStringLiteral("QSettings: FormatError"));
    return lines.join(QLatin1Char('\n'));
}

// What to do on the command line; the run has not started.
QString OnCommandLine(const StartupError &error)
{
    const QString nothing = QStringLiteral("没有开始导出，也没有保存设置。");
    const QString forget = QStringLiteral("或用 --ca-file \"\" --remember 不再使用它。");
    switch (error.kind) {
    case Kind::BadHost:
        return nothing + QStringLiteral("请改正 --host 后再运行。");
    case Kind::BadStoredHost:
        return nothing + QStringLiteral("请用 --host 给出论坛地址，加 --remember 换掉保存的地址。");
    case Kind::UnreadableCaFile:
    case Kind::CaFileWithoutCertificate:
        if (!IsStored(error))
            return nothing + QStringLiteral("请改正 --ca-file 后再运行。");
        return nothing + QStringLiteral("请用 --ca-file 另选一个文件并加 --remember，") + forget;
    case Kind::UnreadableStoredCaFile:
        return nothing +
               QStringLiteral("请把文件放回原处后再运行；或用 --ca-file 另选一个文件并加 "
                              "--remember，") +
               forget;
    case Kind::RememberAlone:
        return nothing +
               QStringLiteral("请加上要保存的设置再运行，如 --host bbs.example.cn --remember。");
    case Kind::NotSaved:
        return QStringLiteral("没有开始导出。%1，再运行一次。").arg(FixFile(error.notSaved));
    case Kind::BadRetries:
        return nothing + QStringLiteral("请改正 --retries 后再运行。");
    case Kind::BadStoredRetries:
        return nothing + QStringLiteral("请用 --retries 给出次数，加 --remember 换掉保存的值。");
    case Kind::BadTimeout:
        return nothing + QStringLiteral("请改正 --timeout 后再运行。");
    case Kind::BadStoredTimeout:
        return nothing + QStringLiteral("请用 --timeout 给出秒数，加 --remember 换掉保存的值。");
    case Kind::BadFirstNumber:
        // Settings given with --remember are saved by now.
        return QStringLiteral("没有开始导出。请改正 --number-from 后再运行。");
    }
    return {};
}

QString ByMenu(const QString &item)
{
    return QStringLiteral("请在窗口上单击右键，选“%1”").arg(item);
}

// What the window goes on with, and how its menu puts it right.
QString InWindow(const StartupError &error, const QString &hostInUse, const SettingMenu &menu)
{
    const QString host = ShownHost(hostInUse);
    const QString systemOnly = QStringLiteral("只用系统自带的证书。");
    switch (error.kind) {
    case Kind::BadHost:
        return QStringLiteral("窗口使用 %1。要换论坛地址，%2。").arg(host, ByMenu(menu.host));
    case Kind::BadStoredHost:
        return QStringLiteral("改正前使用 %1。%2改正。").arg(host, ByMenu(menu.host));
    case Kind::UnreadableCaFile:
    case Kind::CaFileWithoutCertificate:
        if (!IsStored(error))
            return QStringLiteral("这次") + systemOnly +
                   QStringLiteral("要另选文件，%1。").arg(ByMenu(menu.caFile));
        return QStringLiteral("改正前") + systemOnly +
               QStringLiteral("%1另选文件或清除。").arg(ByMenu(menu.caFile));
    case Kind::UnreadableStoredCaFile:
        return QStringLiteral("改正前") + systemOnly +
               QStringLiteral("请把文件放回原处，或在窗口上单击右键，选“%1”另选文件或清除。")
                   .arg(menu.caFile);
    case Kind::RememberAlone:
        return QStringLiteral("窗口照常使用原来的设置。要保存设置，请在窗口上单击右键，选要改的"
                              "一项（如“%1”），并勾选“记住”。")
            .arg(menu.host);
    case Kind::NotSaved:
        return QStringLiteral("新的设置这次照样使用，但下次打开时不会记得。%1，再在窗口上单击右键"
                              "重新设置，并勾选“记住”。")
            .arg(FixFile(error.notSaved));
    case Kind::BadRetries:
        return QStringLiteral("这次不重试。请改正 --retries 后再运行。");
    case Kind::BadStoredRetries:
        return QStringLiteral("改正前不重试。%1改正。").arg(ByMenu(menu.retries));
    case Kind::BadTimeout:
        return QStringLiteral("这次每页最多等 %1 秒。请改正 --timeout 后再运行。")
            .arg(PageFetcher::DefaultTimeoutSeconds);
    case Kind::BadStoredTimeout:
        return QStringLiteral("改正前每页最多等 %1 秒。%2改正。")
            .arg(PageFetcher::DefaultTimeoutSeconds)
            .arg(ByMenu(menu.timeout));
    case Kind::BadFirstNumber:
        break;
    }
    return OnCommandLine(error);
}

} // namespace

QString DescribeHostError(const HostError &error)
{
    return HostSentence(QStringLiteral("论坛地址"), error);
}

UserMessage DescribeStartupError(const StartupError &error)
{
    return {Happened(error) + QLatin1Char('\n') + OnCommandLine(error), Detail(error)};
}

UserMessage DescribeStartupError(const StartupError &error, const QString &hostInUse,
                                 const SettingMenu &menu)
{
    // Settings the window cannot change are edited in their file, named above.
    const bool fileInText =
        error.kind == Kind::BadStoredRetries || error.kind == Kind::BadStoredTimeout;
    return {Happened(error) + QLatin1Char('\n') + InWindow(error, hostInUse, menu),
            Detail(error, fileInText)};
}

UserMessage DescribeSaved(const SavedSettings &saved)
{
    QStringList parts;
    if (saved.host)
        parts << (saved.host->isEmpty()
                      ? QStringLiteral("论坛地址恢复为默认的 %1").arg(ShownHost(DefaultForumHost()))
                      : QStringLiteral("论坛地址 %1").arg(ShownHost(*saved.host)));
    if (saved.caFile)
        parts << (saved.caFile->isEmpty()
                      ? QStringLiteral("不再使用另外的 CA 证书文件")
                      : QStringLiteral("CA 证书文件 %1").arg(Native(*saved.caFile)));
    if (saved.retries)
        parts << QStringLiteral("重试次数 %1").arg(*saved.retries);
    if (saved.timeout)
        parts << QStringLiteral("超时 %1 秒").arg(*saved.timeout);
    return {QStringLiteral("已保存设置：%1。以后每次运行都会使用，不必再给出。")
                .arg(parts.join(QStringLiteral("，"))),
            QStringLiteral("设置文件：%1").arg(Native(saved.file))};
}

UserMessage DescribeNoDisplay()
{
    return {
        QStringLiteral("找不到图形界面，窗口打不开，没有导出。\n请在桌面环境中运行，或改用命令行"
                       "程序 kestrune-cli 导出（kestrune-cli --help 列出它的选项）。"),
        QStringLiteral("没有设置 DISPLAY 或 WAYLAND_DISPLAY")};
}

} // namespace kestrune
