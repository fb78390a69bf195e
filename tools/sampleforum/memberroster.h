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

    explicit MemberRoster(std::optional<qint64> countOverride = std::nullopt);

    qint64 MemberCount(const QByteArray &forumName) const;
    qint64 LastPage(const QByteArray &forumName) const;
    QList<SampleMember> MembersOnPage(const QByteArray &forumName, qint64 page) const;

    static SampleMember Member(const QByteArray &forumName, qint64 rank);
    // FNV-1a: stable across processes, unlike qHash.
    static quint64 ForumHash(const QByteArray &forumName);

private:
    std::optional<qint64> countOverride_;
};

} // namespace kestrune
