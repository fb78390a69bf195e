#pragma once

#include "tools/sampleforum/samplemember.h"

#include <QList>
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

    // Repeated: names drawn freely, so a forum lists some twice, as a ranking
    // that shifted during an export would.
    enum class Names
    {
        Distinct,
        Repeated
    };

    void SetCountOverride(std::optional<qint64> count) { countOverride_ = count; }
    void SetNames(Names names) { names_ = names; }

    qint64 MemberCount(const QByteArray &forumName) const;
    qint64 LastPage(const QByteArray &forumName) const;
    QList<SampleMember> MembersOnPage(const QByteArray &forumName, qint64 page) const;

    static SampleMember Member(const QByteArray &forumName, qint64 rank,
                               Names names = Names::Distinct);
    // FNV-1a: stable across processes, unlike qHash.
    static quint64 ForumHash(const QByteArray &forumName);

private:
    std::optional<qint64> countOverride_;
    Names names_ = Names::Distinct;
};

} // namespace kestrune
