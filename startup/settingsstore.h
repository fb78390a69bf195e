#pragma once

#include <QString>
#include <optional>

namespace kestrune {

// What both programs remember between runs, each as its entry reads. Read
// gives none for an entry not stored; Write leaves such an entry as it is and
// removes one given empty.
struct ForumSettings
{
    std::optional<QString> host{};
    std::optional<QString> caFile{};
    std::optional<QString> retries{}; // checked by the reader
    std::optional<QString> timeout{}; // in seconds, the same
    std::optional<QString> folder{};  // the results' folder, absolute
    std::optional<QString> table{};   // "0": no table beside the results

    friend bool operator==(const ForumSettings &, const ForumSettings &) = default;
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
    ForumSettings Read() const;
    std::optional<SettingsWriteError> Write(const ForumSettings &changes) const;

private:
    QString file_;
};

} // namespace kestrune
