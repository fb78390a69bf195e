#include "startup/settingsstore.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace kestrune {

namespace {

const QString HostKey = QStringLiteral("forum/host");
const QString CaFileKey = QStringLiteral("forum/caFile");
const QString RetriesKey = QStringLiteral("forum/retries");
const QString TimeoutKey = QStringLiteral("forum/timeout");
const QString FolderKey = QStringLiteral("forum/folder");
const QString TableKey = QStringLiteral("forum/table");

std::optional<QString> Get(const QSettings &settings, const QString &key)
{
    QString value = settings.value(key).toString();
    return value.isEmpty() ? std::nullopt : std::optional(std::move(value));
}

void Put(QSettings &settings, const QString &key, const std::optional<QString> &value)
{
    if (!value)
        return;
    if (value->isEmpty())
        settings.remove(key);
    else
        settings.setValue(key, *value);
}

} // namespace

QString SettingsStore::DefaultFile()
{
#ifdef Q_OS_WIN
    // Beside the program, like the jieguo.txt a desktop start writes there:
    // the folder that holds the program keeps everything it uses.
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kestrune.ini");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kestrune/kestrune.conf");
#endif
}

QString SettingsStore::DescribeDefaultFile()
{
#ifdef Q_OS_WIN
    return QStringLiteral("程序所在文件夹中的 kestrune.ini");
#else
    return QStringLiteral("~/.config/Kestrune/kestrune.conf（设置了 XDG_CONFIG_HOME 时为 "
                          "$XDG_CONFIG_HOME/Kestrune/kestrune.conf）");
#endif
}

SettingsStore::SettingsStore(QString file)
    : file_(std::move(file))
{}

ForumSettings SettingsStore::Read() const
{
    const QSettings settings(file_, QSettings::IniFormat);
    return {.host = Get(settings, HostKey),
            .caFile = Get(settings, CaFileKey),
            .retries = Get(settings, RetriesKey),
            .timeout = Get(settings, TimeoutKey),
            .folder = Get(settings, FolderKey),
            .table = Get(settings, TableKey)};
}

std::optional<SettingsWriteError> SettingsStore::Write(const ForumSettings &changes) const
{
    QSettings settings(file_, QSettings::IniFormat);
    Put(settings, HostKey, changes.host);
    Put(settings, CaFileKey, changes.caFile);
    Put(settings, RetriesKey, changes.retries);
    Put(settings, TimeoutKey, changes.timeout);
    Put(settings, FolderKey, changes.folder);
    Put(settings, TableKey, changes.table);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return std::nullopt;
    return SettingsWriteError{file_, settings.status() == QSettings::AccessError
                                         ? SettingsWriteError::Reason::NoAccess
                                         : SettingsWriteError::Reason::BadFormat};
}

} // namespace kestrune
