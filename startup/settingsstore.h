#pragma once

#include <QString>
#include <optional>

namespace kestrune {

// What both programs remember between runs.
struct StoredSettings
{
    QString host;    // empty: never stored
    QString caFile;  // empty: none
    QString retries; // empty: never stored; as written, checked by the reader
    QString timeout; // the same, in seconds
};

struct SettingsWriteError
{
    enum class Reason
    {
        NoAccess,
        BadFormat,
    };
    QString file;
    Reason reason;
};

// The settings file both programs share. On Windows it is kestrune.ini beside
// the program, elsewhere kestrune.conf in the user's configuration folder.
class SettingsStore final
{
public:
    static QString DefaultFile();
    // How --help names the place, the same on every machine.
    static QString DescribeDefaultFile();

    explicit SettingsStore(QString file = DefaultFile());

    QString File() const { return file_; }
    StoredSettings Read() const;
    // Stores the values given; an empty text removes that entry.
    std::optional<SettingsWriteError> Write(const std::optional<QString> &host,
                                            const std::optional<QString> &caFile,
                                            const std::optional<QString> &retries = {},
                                            const std::optional<QString> &timeout = {}) const;

private:
    QString file_;
};

} // namespace kestrune
