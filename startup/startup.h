#pragma once

#include "engine/fetch/pagefetcher.h"
#include "engine/run/exportfailure.h"
#include "startup/hostsetting.h"
#include "startup/settingsstore.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <optional>

class QCommandLineParser;

namespace kestrune {

class Exporter;

// Names the program for --version and the desktop; both programs share one
// settings file whatever their names.
void IdentifyApplication(const QString &name);

// The host used while none is stored.
QString DefaultForumHost();

// Where the forum is for this run.
struct Connection
{
    QString host{};
    QString caFile{}; // empty: the system's store only
    int retries = 0;  // further tries of a page that may pass
    int timeoutSeconds = PageFetcher::DefaultTimeoutSeconds;
};

// Where this run's results go.
struct ResultPlace
{
    QString folder{};  // absolute; empty: the current folder
    bool table = true; // the spreadsheet table beside jieguo.txt
};

// An option given or a stored setting that cannot be used.
struct StartupError
{
    enum class Kind
    {
        BadHost,
        BadStoredHost,
        UnreadableCaFile,
        UnreadableStoredCaFile,
        CaFileWithoutCertificate, // given or, with settingsFile, stored
        RememberAlone,            // --remember with nothing to store
        NotSaved,
        BadRetries,
        BadStoredRetries,
        BadTimeout,
        BadStoredTimeout,
        BadFolder, // not an existing folder
        BadStoredFolder,
        BadFirstNumber, // kestrune-cli's --number-from
    };
    Kind kind;
    QString value{};                       // the setting, as given or stored
    HostProblem hostProblem{};             // what is wrong with a host
    QString settingsFile{};                // where a bad value is stored, or was to go
    SettingsWriteError::Reason notSaved{}; // why the settings file was not written
};

// What --remember stored, and where; an empty value was removed.
struct SavedSettings
{
    QString file;
    ForumSettings settings;
};

// Where this run's host came from.
enum class HostSource
{
    Default,
    Stored,
    CommandLine,
};

struct StartupResult
{
    Connection connection{};
    ResultPlace results{};
    QList<StartupError> errors{}; // every one, in --help's order
    std::optional<SavedSettings> saved{};
    HostSource hostSource = HostSource::Default;
};

// Nothing chose a host and the built-in one is on this machine, as the sample
// forum is: the window asks for the forum's address before its first export.
bool MustAskForHost(const StartupResult &result);

// Nothing chose a host and the run could not reach the built-in one on its
// first page: most likely the forum's address was never set. A built-in
// host that answers, as the sample forum does, is no sign of that.
bool NoForumAddressSet(const StartupResult &result, const ExportFailure &failure);

// Why a CA file cannot be used, as --ca-file checks it; none when it can.
std::optional<StartupError> CheckCaFileSetting(const QString &path);

// --host, --ca-file, --retries, --timeout, --folder, --no-table and
// --remember, shared by both programs, with the help text that says where the
// settings live.
class ConnectionOptions final
{
public:
    ConnectionOptions();

    // Also sets the description, so --help names the settings file.
    void AddTo(QCommandLineParser &parser, const QString &summary) const;
    // Stored settings, then this run's options over them; stores them when
    // asked to.
    StartupResult Resolve(const QCommandLineParser &parser, const SettingsStore &store) const;
    // In the order --help lists them.
    QList<QCommandLineOption> List() const
    {
        return {host, caFile, retries, timeout, folder, noTable, remember};
    }

    const QCommandLineOption host;
    const QCommandLineOption caFile;
    const QCommandLineOption remember;
    const QCommandLineOption retries;
    const QCommandLineOption timeout;
    const QCommandLineOption folder;
    const QCommandLineOption noTable;
};

// kestrune-cli's --number-from: 1 to MaxFirstNumber.
inline constexpr std::int64_t MaxFirstNumber = 9'000'000'000'000'000'000;
std::optional<std::int64_t> ReadFirstNumber(const QString &text);

void ApplyConnection(const Connection &connection, Exporter &exporter);

} // namespace kestrune
