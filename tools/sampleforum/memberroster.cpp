#include "tools/sampleforum/memberroster.h"

#include "platform/cp936.h"

#include <QStringView>
#include <algorithm>

namespace kestrune {

namespace {

// Common simplified characters, all inside GB2312 so every name encodes in GBK.
constexpr QStringView CommonHanzi =
    u"的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学"
    u"对可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面"
    u"公同三已老从动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向情部"
    u"正名定女问力机给等几很业最间新什打便位因重被走电四第门相次东政海口使教西再平真听世气信北少关"
    u"并内加化由却代军产入先山五太水万市眼体别处总才场师书比住员九笑性通目华报立马命张活难神数件安"
    u"表原车白应路期叫死常提感金何更反合放做系计或司利受光王果亲界及今京务制解各任至清物台象记边共"
    u"风战干接它许八特觉望直服毛林题建南度统色字请交爱让认算论百吃义科怎元社术结六功指思非流每青管"
    u"夫连远资队跟带花快条院变联言权往展该领传近留红治决周保达办运武半候七必城父强步完革深区即求品";

constexpr QByteArrayView AsciiAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";

constexpr qint64 NamedForumMembers = 2345;
constexpr qint64 MinMembers = 500;
constexpr qint64 MaxMembers = 3000;

// splitmix64: tiny, well mixed and identical on every platform.
class Mixer
{
public:
    explicit Mixer(quint64 seed)
        : state_(seed)
    {}

    quint64 Next()
    {
        state_ += 0x9E3779B97F4A7C15ULL;
        quint64 z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    int Below(int bound) { return static_cast<int>(Next() % static_cast<quint64>(bound)); }

private:
    quint64 state_;
};

QString ChineseName(Mixer &mix, int length)
{
    QString name;
    name.reserve(length);
    for (int i = 0; i < length; ++i)
        name += CommonHanzi[mix.Below(static_cast<int>(CommonHanzi.size()))];
    return name;
}

QByteArray AsciiName(Mixer &mix)
{
    const int length = 3 + mix.Below(14);
    QByteArray name;
    name.reserve(length);
    for (int i = 0; i < length; ++i)
        name += AsciiAlphabet[mix.Below(static_cast<int>(AsciiAlphabet.size()))];
    return name;
}

} // namespace

MemberRoster::MemberRoster(std::optional<qint64> countOverride)
    : countOverride_(countOverride)
{}

quint64 MemberRoster::ForumHash(const QByteArray &forumName)
{
    quint64 hash = 0xCBF29CE484222325ULL;
    for (const char byte : forumName) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

qint64 MemberRoster::MemberCount(const QByteArray &forumName) const
{
    if (countOverride_)
        return std::max<qint64>(0, *countOverride_);
    if (forumName == QByteArrayLiteral("Henu"))
        return NamedForumMembers;
    const auto span = static_cast<quint64>(MaxMembers - MinMembers + 1);
    return MinMembers + static_cast<qint64>(ForumHash(forumName) % span);
}

qint64 MemberRoster::LastPage(const QByteArray &forumName) const
{
    return (MemberCount(forumName) + MembersPerPage - 1) / MembersPerPage;
}

QList<SampleMember> MemberRoster::MembersOnPage(const QByteArray &forumName, qint64 page) const
{
    QList<SampleMember> members;
    if (page <= 0 || page > LastPage(forumName))
        return members;
    const qint64 first = (page - 1) * MembersPerPage + 1;
    const qint64 last = std::min(page * MembersPerPage, MemberCount(forumName));
    members.reserve(last - first + 1);
    for (qint64 rank = first; rank <= last; ++rank)
        members.append(Member(forumName, rank));
    return members;
}

SampleMember MemberRoster::Member(const QByteArray &forumName, qint64 rank)
{
    Mixer mix(ForumHash(forumName) ^ (static_cast<quint64>(rank) * 0xD6E8FEB86659FD93ULL));
    SampleMember result;
    result.rank = rank;
    const int kind = mix.Below(100);
    if (kind < 35) {
        result.name = AsciiName(mix);
    } else {
        // Mostly short names, with a share of the longest allowed ones.
        const int length = kind < 45 ? 14 : kind < 85 ? 1 + mix.Below(6) : 7 + mix.Below(7);
        // GB2312 characters only, so the encoding cannot fail.
        EncodeCp936(ChineseName(mix, length), result.name);
    }
    result.level = 1 + mix.Below(MaxLevel);
    return result;
}

} // namespace kestrune
