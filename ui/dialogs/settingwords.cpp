#include "ui/dialogs/settingwords.h"

#include "startup/startupmessages.h"

namespace kestrune {

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

QString FolderMenuItem()
{
    return QStringLiteral("结果文件夹…");
}

QString TableMenuItem()
{
    return QStringLiteral("同时保存表格");
}

namespace {

SettingMenu Menu()
{
    return {HostMenuItem(), CaFileMenuItem(), RetriesMenuItem(), TimeoutMenuItem(),
            FolderMenuItem()};
}

} // namespace

UserMessage DescribeStartupErrorInWindow(const StartupError &error, const QString &hostInUse)
{
    return DescribeStartupError(error, hostInUse, Menu());
}

UserMessage DescribeStartupErrorsInWindow(const QList<StartupError> &errors,
                                          const QString &hostInUse)
{
    return DescribeStartupErrors(errors, hostInUse, Menu());
}

QString DescribeCaFileError(const StartupError &error)
{
    return error.kind == StartupError::Kind::CaFileWithoutCertificate
               ? QStringLiteral("这个文件里没有 CA 证书。")
               : QStringLiteral("无法读取这个文件：找不到它，或没有权限读取。");
}

} // namespace kestrune
