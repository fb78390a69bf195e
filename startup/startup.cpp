#include "startup/startup.h"

#include "engine/fetch/retrywait.h"
#include "engine/run/exporter.h"
#include "platform/halfwidth.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <optional>

namespace kestrune {

namespace {

// More than any real bundle; a bigger file is not read to its end.
constexpr qint64 MaxCaFileBytes = 4 << 20;

// A CA file must be there, and hold a certificate, when the run starts, not
// only when TLS needs it.
std::optional<StartupError::Kind> CheckCaFile(const QString &caFile, bool stored)
{
    QFile file(caFile);
    if (!QFileInfo(caFile).isFile() || !file.open(QIODevice::ReadOnly))
        return stored ? StartupError::Kind::UnreadableStoredCaFile
                      : StartupError::Kind::UnreadableCaFile;
    const QByteArray text = file.read(MaxCaFileBytes);
    const qsizetype begin = text.indexOf("-----BEGIN CERTIFICATE-----");
    if (begin >= 0 && text.indexOf("-----END CERTIFICATE-----", begin) > begin)
        return std::nullopt;
    return StartupError::Kind::CaFileWithoutCertificate;
}

StartupError BadHost(StartupError::Kind kind, const HostError &error, const QString &storedIn = {})
{
    return {
        .kind = kind, .value = error.text, .hostProblem = error.problem, .settingsFile = storedIn};
}

// Full-width digits, as a Chinese input method types them, read as digits.
QString HalfWidthText(const QString &text)
{
    return QString::fromStdString(HalfWidth(text.toStdString()));
}

// A whole number from `low` to `high`, as typed or stored.
std::optional<int> ReadCount(const QString &text, int low, int high)
{
    bool isNumber = false;
    const int count = HalfWidthText(text).trimmed().toInt(&isNumber);
    return isNumber && count >= low && count <= high ? std::optional(count) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> ReadFirstNumber(const QString &text)
{
    bool isNumber = false;
    const qlonglong number = HalfWidthText(text).trimmed().toLongLong(&isNumber);
    return isNumber && number >= 1 && number <= MaxFirstNumber ? std::optional(number)
                                                               : std::nullopt;
}

QString DefaultForumHost()
{
    return QStringLiteral(KESTRUNE_DEFAULT_FORUM_HOST);
}

void IdentifyApplication(const QString &name)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrune"));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRUNE_VERSION));
}

ConnectionOptions::ConnectionOptions()
    : host(QStringLiteral("host"),
           QStringLiteral("论坛服务的地址：主机[:端口]，或带协议的网址，如 "
                          "https://forum.example.org。只用于这一次，除非同时给出 --remember。"),
           QStringLiteral("主机[:端口]"))
    , caFile(QStringLiteral("ca-file"),
             QStringLiteral("除系统证书外另外信任的 CA 证书文件（PEM），供经过重新签发 TLS "
                            "证书的代理上网时使用。"),
             QStringLiteral("文件"))
    , remember(QStringLiteral("remember"),
               QStringLiteral("把这次给出的 --host、--ca-file、--retries、--timeout、--folder "
                              "和 --no-table 保存为以后的默认值，再照常运行。"))
    , retries(QStringLiteral("retries"),
              QStringLiteral("一页暂时取不到时（超时、连接中断，或没有名字而响应 408、429、500、"
                             "502、503、504）再试的次数，0 到 %1，默认 0。")
                  .arg(MaxRetries),
              QStringLiteral("次数"))
    , timeout(
          QStringLiteral("timeout"),
          QStringLiteral("一页最多等多少秒：过了这么多个整秒的交界仍没有收到完整的响应就算超时，"
                         "%1 到 %2，默认 %3。")
              .arg(PageFetcher::MinTimeoutSeconds)
              .arg(PageFetcher::MaxTimeoutSeconds)
              .arg(PageFetcher::DefaultTimeoutSeconds),
          QStringLiteral("秒数"))
    , folder(QStringLiteral("folder"),
             QStringLiteral("存放结果文件 jieguo.txt 和表格的文件夹，须已存在，默认为当前文件夹。"
                            "只用于这一次，除非同时给出 --remember。"),
             QStringLiteral("文件夹"))
    , noTable(QStringLiteral("no-table"),
              QStringLiteral("只写 jieguo.txt，不同时保存表格（.csv）。只用于这一次，除非同时给出 "
                             "--remember。"))
{}

void ConnectionOptions::AddTo(QCommandLineParser &parser, const QString &summary) const
{
    parser.setApplicationDescription(
        summary +
        QStringLiteral("\n\n"
                       "论坛地址、CA 证书文件和结果文件夹等设置保存在 %1，kestrune 和 "
                       "kestrune-cli 共用。没有保存过地址时用 %2。\n"
                       "保存新地址：%3 --host 主机[:端口] --remember；"
                       "保存 CA 证书文件：%3 --ca-file 文件 --remember；"
                       "保存结果文件夹：%3 --folder 文件夹 --remember。"
                       "--host \"\"、--ca-file \"\" 或 --folder \"\" 加 --remember 删除保存的值。"
                       "--no-table --remember 使以后不再保存表格；要重新保存，请在窗口上单击右键"
                       "勾选“同时保存表格”，或删掉设置文件中的 table=0。")
            .arg(SettingsStore::DescribeDefaultFile(), DefaultForumHost(),
                 QCoreApplication::applicationName()));
    parser.addOptions(List());
}

StartupResult ConnectionOptions::Resolve(const QCommandLineParser &parser,
                                         const SettingsStore &store) const
{
    const ForumSettings stored = store.Read();
    StartupResult result{.connection = {DefaultForumHost()}};
    // Every problem is told at once; the run goes on with what is still good.
    const auto fail = [&result](const StartupError &error) {
        result.errors.append(error);
    };
    ForumSettings changes; // what --remember stores

    std::optional<StartupError> storedHostError;
    if (stored.host) {
        const HostCheck check = CheckHost(*stored.host);
        if (check.error) {
            storedHostError =
                BadHost(StartupError::Kind::BadStoredHost, *check.error, store.File());
        } else {
            result.connection.host = check.host;
            result.hostSource = HostSource::Stored;
        }
    }
    if (parser.isSet(host)) {
        const QString text = parser.value(host);
        const HostCheck check =
            text.isEmpty() ? HostCheck{DefaultForumHost(), {}} : CheckHost(text);
        if (check.error) {
            fail(BadHost(StartupError::Kind::BadHost, *check.error));
        } else {
            result.connection.host = check.host;
            result.hostSource = HostSource::CommandLine;
            changes.host = text.isEmpty() ? QString() : check.host;
        }
    } else if (storedHostError) {
        fail(*storedHostError);
    }

    if (parser.isSet(caFile)) {
        const QString path = parser.value(caFile);
        if (path.isEmpty()) {
            changes.caFile = QString();
        } else if (const auto problem = CheckCaFile(path, false)) {
            fail({.kind = *problem, .value = path});
        } else {
            // Stored for runs from any directory.
            result.connection.caFile = QFileInfo(path).absoluteFilePath();
            changes.caFile = result.connection.caFile;
        }
    } else if (stored.caFile) {
        if (const auto problem = CheckCaFile(*stored.caFile, true))
            fail({.kind = *problem, .value = *stored.caFile, .settingsFile = store.File()});
        else
            result.connection.caFile = *stored.caFile;
    }

    // A count given this run wins over the stored one; the one given is
    // what --remember stores.
    const auto readCount = [&](const QCommandLineOption &option,
                               const std::optional<QString> &storedText, int low, int high,
                               StartupError::Kind bad, StartupError::Kind badStored, int &into) {
        std::optional<QString> given;
        const bool isGiven = parser.isSet(option);
        if (!isGiven && !storedText)
            return given;
        const QString text = isGiven ? parser.value(option) : *storedText;
        if (const std::optional<int> count = ReadCount(text, low, high)) {
            into = *count;
            if (isGiven)
                given = QString::number(*count);
        } else {
            fail({.kind = isGiven ? bad : badStored,
                  .value = text,
                  .settingsFile = isGiven ? QString() : store.File()});
        }
        return given;
    };
    changes.retries =
        readCount(retries, stored.retries, 0, MaxRetries, StartupError::Kind::BadRetries,
                  StartupError::Kind::BadStoredRetries, result.connection.retries);
    changes.timeout =
        readCount(timeout, stored.timeout, PageFetcher::MinTimeoutSeconds,
                  PageFetcher::MaxTimeoutSeconds, StartupError::Kind::BadTimeout,
                  StartupError::Kind::BadStoredTimeout, result.connection.timeoutSeconds);

    if (parser.isSet(folder)) {
        const QString path = parser.value(folder);
        if (path.isEmpty()) {
            changes.folder = QString();
        } else if (!QFileInfo(path).isDir()) {
            fail({.kind = StartupError::Kind::BadFolder, .value = path});
        } else {
            // Stored for runs from any directory.
            result.results.folder = QDir(path).absolutePath();
            changes.folder = result.results.folder;
        }
    } else if (stored.folder) {
        if (QFileInfo(*stored.folder).isDir())
            result.results.folder = QDir(*stored.folder).absolutePath();
        else
            fail({.kind = StartupError::Kind::BadStoredFolder,
                  .value = *stored.folder,
                  .settingsFile = store.File()});
    }
    // Only "0" turns the table off, so a hand-edited value leaves it on.
    result.results.table = !parser.isSet(noTable) && stored.table != QStringLiteral("0");
    if (parser.isSet(noTable))
        changes.table = QStringLiteral("0");

    if (!parser.isSet(remember) || !result.errors.isEmpty())
        return result;
    if (changes == ForumSettings{}) {
        fail({.kind = StartupError::Kind::RememberAlone});
        return result;
    }
    if (const std::optional<SettingsWriteError> error = store.Write(changes)) {
        fail({.kind = StartupError::Kind::NotSaved,
              .settingsFile = error->file,
              .notSaved = error->reason});
        return result;
    }
    result.saved = SavedSettings{store.File(), changes};
    return result;
}

bool MustAskForHost(const StartupResult &result)
{
    const QString name = QUrl(QStringLiteral("http://") + DefaultForumHost()).host();
    const bool local = name == QLatin1String("localhost") || name == QLatin1String("::1") ||
                       name.startsWith(QLatin1String("127."));
    return result.hostSource == HostSource::Default && local;
}

bool NoForumAddressSet(const StartupResult &result, const ExportFailure &failure)
{
    using enum FetchFailure::Kind;
    const bool unreached =
        failure.fetch && (failure.fetch->kind == Refused || failure.fetch->kind == HostNotFound);
    return result.hostSource == HostSource::Default &&
           failure.cause == ExportFailure::Cause::PageFailed && unreached &&
           failure.page == failure.firstPage;
}

std::optional<StartupError> CheckCaFileSetting(const QString &path)
{
    if (const auto kind = CheckCaFile(path, false))
        return StartupError{.kind = *kind, .value = path};
    return std::nullopt;
}

void ApplyConnection(const Connection &connection, Exporter &exporter)
{
    exporter.SetHost(connection.host);
    exporter.SetCaFile(connection.caFile);
    exporter.SetRetries(connection.retries);
    exporter.SetTimeoutSeconds(connection.timeoutSeconds);
}

} // namespace kestrune
