#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

namespace kestrune {

class Exporter;
class SettingsStore;

// Names the program for --version and the desktop; both programs share one
// settings file whatever their names.
void IdentifyApplication(const QString &name);

// Where the forum is for this run.
struct Connection
{
    QString host;
    QString caFile; // empty: the system's store only
};

struct StartupResult
{
    Connection connection;
    QString error;  // the command line or a stored setting cannot be used
    QString notice; // what --remember stored, and where
};

// --host, --ca-file and --remember, shared by both programs, with the help
// text that says where the settings live.
class ConnectionOptions final
{
public:
    ConnectionOptions();

    // Also sets the description, so --help names the settings file.
    void AddTo(QCommandLineParser &parser, const QString &summary) const;
    // Stored settings, then this run's options over them; stores them when
    // asked to.
    StartupResult Resolve(const QCommandLineParser &parser, const SettingsStore &store) const;

    const QCommandLineOption host;
    const QCommandLineOption caFile;
    const QCommandLineOption remember;
};

void ApplyConnection(const Connection &connection, Exporter &exporter);

} // namespace kestrune
