#include "app/common/startup.h"

#include "app/common/hostsetting.h"
#include "app/common/settingsstore.h"
#include "engine/exporter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace kestrune {

namespace {

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString DefaultHost()
{
    return QStringLiteral(KESTRUNE_DEFAULT_FORUM_HOST);
}

// A CA file must be there when the run starts, not only when TLS needs it.
QString CheckCaFile(const QString &path)
{
    const QFileInfo file(path);
    if (file.isFile() && file.isReadable())
        return {};
    return QStringLiteral("无法读取 CA 证书文件 %1。").arg(Native(path));
}

QString StoredIn(const SettingsStore &store)
{
    return QStringLiteral("它保存在 %1 中，可用 --remember 改正。").arg(Native(store.File()));
}

} // namespace

void IdentifyApplication(const QString &name)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrune"));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRUNE_VERSION_TEXT));
}

ConnectionOptions::ConnectionOptions()
    : host(QStringLiteral("host"),
           QStringLiteral("论坛服务的地址：主机[:端口]，或带协议的网址，如 "
                          "https://forum.example.org。只用于这一次，除非同时给出 --remember。"),
           QStringLiteral("HOST[:PORT]"))
    , caFile(QStringLiteral("ca-file"),
             QStringLiteral("除系统证书外另外信任的 CA 证书文件（PEM），供经过重新签发 TLS "
                            "证书的代理上网时使用。"),
             QStringLiteral("FILE"))
    , remember(QStringLiteral("remember"),
               QStringLiteral("把这次给出的 --host 和 --ca-file 保存为以后的默认值，再照常运行。"))
{}

void ConnectionOptions::AddTo(QCommandLineParser &parser, const QString &summary) const
{
    parser.setApplicationDescription(
        summary + QStringLiteral("\n\n"
                                 "论坛地址和 CA 证书文件保存在 %1，kestrune 和 kestrune-cli "
                                 "共用。没有保存过地址时用 %2。\n"
                                 "保存新地址：kestrune --host 主机[:端口] --remember；"
                                 "保存 CA 证书文件：kestrune --ca-file 文件 --remember。"
                                 "--host \"\" 或 --ca-file \"\" 加 --remember 删除保存的值。")
                      .arg(SettingsStore::DescribeDefaultFile(), DefaultHost()));
    parser.addOptions({host, caFile, remember});
}

StartupResult ConnectionOptions::Resolve(const QCommandLineParser &parser,
                                         const SettingsStore &store) const
{
    const StoredSettings stored = store.Read();
    StartupResult result{{DefaultHost(), {}}, {}, {}};
    // The first problem is told; the run goes on with what is still good.
    const auto fail = [&result](const QString &error) {
        if (result.error.isEmpty())
            result.error = error;
    };
    std::optional<QString> newHost;
    std::optional<QString> newCaFile;

    QString storedHostError;
    if (!stored.host.isEmpty()) {
        const HostCheck check = CheckHost(stored.host);
        if (check.error.isEmpty())
            result.connection.host = check.host;
        else
            storedHostError = check.error + StoredIn(store);
    }
    if (parser.isSet(host)) {
        const QString text = parser.value(host);
        const HostCheck check = text.isEmpty() ? HostCheck{DefaultHost(), {}} : CheckHost(text);
        if (check.error.isEmpty()) {
            result.connection.host = check.host;
            newHost = text.isEmpty() ? QString() : check.host;
        } else {
            fail(check.error);
        }
    } else if (!storedHostError.isEmpty()) {
        fail(storedHostError);
    }

    if (parser.isSet(caFile)) {
        const QString path = parser.value(caFile);
        if (path.isEmpty()) {
            newCaFile = QString();
        } else if (const QString error = CheckCaFile(path); !error.isEmpty()) {
            fail(error);
        } else {
            // Stored for runs from any directory.
            result.connection.caFile = QFileInfo(path).absoluteFilePath();
            newCaFile = result.connection.caFile;
        }
    } else if (!stored.caFile.isEmpty()) {
        if (const QString error = CheckCaFile(stored.caFile); !error.isEmpty())
            fail(error + StoredIn(store));
        else
            result.connection.caFile = stored.caFile;
    }

    if (!parser.isSet(remember) || !result.error.isEmpty())
        return result;
    if (!newHost && !newCaFile) {
        fail(QStringLiteral("--remember 要和 --host 或 --ca-file 一起用。"));
        return result;
    }
    if (const QString error = store.Write(newHost, newCaFile); !error.isEmpty()) {
        fail(error);
        return result;
    }
    QStringList saved;
    if (newHost)
        saved << (newHost->isEmpty()
                      ? QStringLiteral("论坛地址恢复为默认的 %1").arg(result.connection.host)
                      : QStringLiteral("论坛地址 %1").arg(result.connection.host));
    if (newCaFile)
        saved << (newCaFile->isEmpty() ? QStringLiteral("不再用额外的 CA 证书文件")
                                       : QStringLiteral("CA 证书文件 %1").arg(Native(*newCaFile)));
    result.notice = QStringLiteral("已保存到 %1：%2。")
                        .arg(Native(store.File()), saved.join(QStringLiteral("，")));
    return result;
}

void ApplyConnection(const Connection &connection, Exporter &exporter)
{
    exporter.SetHost(connection.host);
    exporter.SetCaFile(connection.caFile);
}

} // namespace kestrune
