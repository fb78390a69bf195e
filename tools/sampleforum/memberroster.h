#pragma once

#include "samplemember.h"

#include <QList>
#include <optional>

namespace kestrune {

// Deterministic members of any forum, keyed by the raw bytes of its name.
class MemberRoster
{
public:
    static constexpr int membersPerPage = 20;
    static constexpr int maxLevel = 18;

    explicit MemberRoster(std::optional<qint64> countOverride = std::nullopt);

    qint64 memberCount(const QByteArray &forumName) const;
    qint64 lastPage(const QByteArray &forumName) const;
    QList<SampleMember> membersOnPage(const QByteArray &forumName, qint64 page) const;

    static SampleMember member(const QByteArray &forumName, qint64 rank);
    // FNV-1a: stable across processes, unlike qHash.
    static quint64 forumHash(const QByteArray &forumName);

private:
    std::optional<qint64> m_countOverride;
};

} // namespace kestrune
