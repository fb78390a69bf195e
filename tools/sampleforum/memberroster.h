#pragma once

#include "tools/sampleforum/samplemember.h"

#include <QList>
#include <algorithm>
#include <optional>

namespace kestrune {

// Deterministic members of any forum, keyed by the raw bytes of its name.
class MemberRoster
{
public:
    static constexpr int MembersPerPage = 20;
    static constexpr int MaxLevel = 18;
    // Counts are cut to this, so every rank has a name of its own: fewer
    // than the 367^7 Chinese and 63^10 ASCII spellings a rank can take.
    static constexpr qint64 MemberLimit = 1'000'000'000'000'000;
    // No member stands this many ranks or more from its day-0 rank.
    static constexpr int ShuffleSpan = 50;
    // Ten years: a member's level is worked out a day at a time.
    static constexpr int MaxDay = 3650;

    // Repeated: names drawn freely, so a forum lists some twice, as a ranking
    // that shifted during an export would.
    enum class Names
    {
        Distinct,
        Repeated
    };

    void SetCountOverride(std::optional<qint64> count) { countOverride_ = count; }
    void SetNames(Names names) { names_ = names; }
    // Day 0, the default, lists every member at its own rank; on a later day
    // members have traded places with neighbours and a few gained a level, so
    // two days' exports differ as a real forum's do.
    void SetDay(int day) { day_ = std::clamp(day, 0, MaxDay); }

    qint64 MemberCount(const QByteArray &forumName) const;
    qint64 LastPage(const QByteArray &forumName) const;
    QList<SampleMember> MembersOnPage(const QByteArray &forumName, qint64 page) const;

    static SampleMember Member(const QByteArray &forumName, qint64 rank,
                               Names names = Names::Distinct);
    // FNV-1a: stable across processes, unlike qHash.
    static quint64 ForumHash(const QByteArray &forumName);

private:
    qint64 DayRank(quint64 forumKey, qint64 rank, qint64 count) const;
    int DayLevel(quint64 forumKey, const SampleMember &member) const;

    std::optional<qint64> countOverride_;
    Names names_ = Names::Distinct;
    int day_ = 0;
};

} // namespace kestrune
