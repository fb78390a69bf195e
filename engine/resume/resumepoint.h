#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kestrune {

// Kept in the results folder while a run there has not completed.
inline constexpr char ResumeFileName[] = "kestrune.resume";

// Where a run that did not complete carries on, and what it ran with, so that
// a later start, even after a restart, continues it as if it never stopped.
struct ResumePoint
{
    QString forum{};
    std::int64_t nextRank = 0; // the from-rank that carries on
    std::int64_t toRank = 0;
    QString delay{};             // as typed, in tenths of a second
    std::int64_t nextNumber = 1; // of the next jieguo.txt line
    QString table{};             // relative to the folder; empty for none
    QString host{};
    int retries = 0;
    int timeoutSeconds = 0;
    // The files' lengths once the last page was kept: what a run cut short
    // mid-page left beyond them is taken back before continuing.
    long long resultsSize = 0;
    long long tableSize = 0;

    friend bool operator==(const ResumePoint &, const ResumePoint &) = default;
};

// UTF-8 text, one "key=value" a line between a version line and "end", so a
// file cut short is told from a whole one.
std::string FormatResumePoint(const ResumePoint &point);

// Why a text is not a resume point, for the detail part of a message.
struct ResumeTextProblem
{
    bool newerVersion = false;
    std::string detail{}; // UTF-8
};
std::variant<ResumePoint, ResumeTextProblem> ParseResumePoint(std::string_view text);

} // namespace kestrune
