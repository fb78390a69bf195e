#include "app/common/startupmessages.h"

#include "engine/retrywait.h"

#include <QDir>
#include <QStringList>

namespace kestrune {

namespace {

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString Why(HostProblem problem)
{
    switch (problem) {
    case HostProblem::Empty:
        return QStringLiteral("地址是空的");
    case HostProblem::BadScheme:
        return QStringLiteral("只能用 http:// 或 https://");
    case HostProblem::BadPort:
    case HostProblem::NotAHost:
        return QStringLiteral("应为 主机[:端口] 或 https://主机[:端口]");
    case HostProblem::PortOutOfRange:
        return QStringLiteral("端口超出范围，应为 1–65535");
    case HostProblem::UserInfo:
        return QStringLiteral("不能带用户名或密码");
    case HostProblem::PathAfterHost:
        return QStringLiteral("只写主机和端口，不带路径");
    }
    return {};
}

QString Unreadable(const QString &caFile)
{
    return QStringLiteral("无法读取 CA 证书文件 %1。").arg(Native(caFile));
}

QString WithoutCertificate(const QString &caFile)
{
    return QStringLiteral("CA 证书文件 %1 中没有 PEM 格式的证书。").arg(Native(caFile));
}

QString BadRetries(const QString &text)
{
    return QStringLiteral("重试次数“%1”无效：应为 0 到 %2 的整数。").arg(text).arg(MaxRetries);
}

QString BadTimeout(const QString &text)
{
    return QStringLiteral("超时秒数“%1”无效：应为 %2 到 %3 的整数。")
        .arg(text)
        .arg(PageFetcher::MinTimeoutSeconds)
        .arg(PageFetcher::MaxTimeoutSeconds);
}

QString StoredIn(const QString &file)
{
    return QStringLiteral("它保存在 %1 中，可用 --remember 改正。").arg(Native(file));
}

QString FixInWindow(const QString &file, const QString &item, const QString &meanwhile)
{
    return QStringLiteral("它保存在 %1 中，可在窗口上单击右键，选“%2”改正；改正前%3。")
        .arg(Native(file), item, meanwhile);
}

} // namespace

QString DescribeHostError(const HostError &error)
{
    return QStringLiteral("论坛地址“%1”无效：%2。").arg(error.text, Why(error.problem));
}

QString DescribeStartupError(const StartupError &error)
{
    switch (error.kind) {
    case StartupError::Kind::BadHost:
        return DescribeHostError({error.hostProblem, error.value});
    case StartupError::Kind::BadStoredHost:
        return DescribeHostError({error.hostProblem, error.value}) + StoredIn(error.settingsFile);
    case StartupError::Kind::UnreadableCaFile:
        return Unreadable(error.value);
    case StartupError::Kind::UnreadableStoredCaFile:
        return Unreadable(error.value) + StoredIn(error.settingsFile);
    case StartupError::Kind::CaFileWithoutCertificate:
        return WithoutCertificate(error.value) +
               (error.settingsFile.isEmpty() ? QString() : StoredIn(error.settingsFile));
    case StartupError::Kind::RememberAlone:
        return QStringLiteral("--remember 要和 --host、--ca-file、--retries 或 --timeout 一起用。");
    case StartupError::Kind::NotSaved:
        return QStringLiteral("无法保存设置到 %1%2。")
            .arg(Native(error.settingsFile), error.notSaved == SettingsWriteError::Reason::NoAccess
                                                 ? QStringLiteral("（没有写入权限）")
                                                 : QStringLiteral("（文件格式有误）"));
    case StartupError::Kind::BadRetries:
        return BadRetries(error.value);
    case StartupError::Kind::BadStoredRetries:
        return BadRetries(error.value) + StoredIn(error.settingsFile);
    case StartupError::Kind::BadTimeout:
        return BadTimeout(error.value);
    case StartupError::Kind::BadStoredTimeout:
        return BadTimeout(error.value) + StoredIn(error.settingsFile);
    case StartupError::Kind::BadFirstNumber:
        return QStringLiteral("起始编号“%1”无效：应为 1 到 %2 的整数。")
            .arg(error.value)
            .arg(MaxFirstNumber);
    }
    return {};
}

QString DescribeSaved(const SavedSettings &saved)
{
    QStringList parts;
    if (saved.host)
        parts << (saved.host->isEmpty()
                      ? QStringLiteral("论坛地址恢复为默认的 %1").arg(DefaultForumHost())
                      : QStringLiteral("论坛地址 %1").arg(*saved.host));
    if (saved.caFile)
        parts << (saved.caFile->isEmpty()
                      ? QStringLiteral("不再用额外的 CA 证书文件")
                      : QStringLiteral("CA 证书文件 %1").arg(Native(*saved.caFile)));
    if (saved.retries)
        parts << QStringLiteral("重试次数 %1").arg(*saved.retries);
    if (saved.timeout)
        parts << QStringLiteral("超时 %1 秒").arg(*saved.timeout);
    return QStringLiteral("已保存到 %1：%2。")
        .arg(Native(saved.file), parts.join(QStringLiteral("，")));
}

QString DescribeNoDisplay()
{
    return QStringLiteral("kestrune 需要图形界面（没有设置 DISPLAY 或 WAYLAND_DISPLAY）；"
                          "在没有图形界面的地方请用 kestrune-cli 导出。");
}

QString HostMenuItem()
{
    return QStringLiteral("论坛地址…");
}

QString CaFileMenuItem()
{
    return QStringLiteral("CA 证书文件…");
}

QString RetriesMenuItem()
{
    return QStringLiteral("重试次数…");
}

QString TimeoutMenuItem()
{
    return QStringLiteral("超时…");
}

QString DescribeStartupErrorInWindow(const StartupError &error, const QString &hostInUse)
{
    switch (error.kind) {
    case StartupError::Kind::BadStoredHost:
        return DescribeHostError({error.hostProblem, error.value}) +
               FixInWindow(error.settingsFile, HostMenuItem(),
                           QStringLiteral("使用 %1").arg(hostInUse));
    case StartupError::Kind::UnreadableStoredCaFile:
        return Unreadable(error.value) +
               FixInWindow(error.settingsFile, CaFileMenuItem(), QStringLiteral("只用系统的证书"));
    case StartupError::Kind::CaFileWithoutCertificate:
        if (error.settingsFile.isEmpty())
            return DescribeStartupError(error);
        return WithoutCertificate(error.value) +
               FixInWindow(error.settingsFile, CaFileMenuItem(), QStringLiteral("只用系统的证书"));
    default:
        return DescribeStartupError(error);
    }
}

} // namespace kestrune
