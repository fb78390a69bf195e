#include "tools/sampleforum/memberroster.h"

#include "platform/cp936.h"
#include "tools/sampleforum/mixer.h"

#include <QStringView>
#include <QVarLengthArray>
#include <algorithm>
#include <bit>

namespace kestrune {

namespace {

// Common simplified characters, each once since ranks are spelt in them, all
// inside GB2312 so every name encodes in GBK.
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

// A name's letters as places in its alphabet; no name has more than 16.
using Letters = QVarLengthArray<int, 16>;

// Leading letters that carry the rank; 63^10 and 367^7 both stay below 2^60.
constexpr int AsciiRankLetters = 10;
constexpr int HanziRankLetters = 7;

// A bijection on [0, 2^bits): adding, xor-shifting right and multiplying by
// an odd number can each be undone modulo 2^bits.
quint64 Scramble(quint64 value, quint64 key, int bits)
{
    const quint64 mask = (quint64{1} << bits) - 1;
    Mixer keys(key);
    for (int round = 0; round < 4; ++round) {
        value = (value + keys.Next()) & mask;
        value ^= value >> (bits / 2 + 1);
        value = (value * (keys.Next() | 1)) & mask;
    }
    return value;
}

// A bijection on [0, size): walking the scrambled cycle until it is back in
// range keeps the values outside it from being hit.
quint64 Permute(quint64 value, quint64 size, quint64 key)
{
    const auto bits = static_cast<int>(std::bit_width(size - 1));
    do
        value = Scramble(value, key, bits);
    while (value >= size);
    return value;
}

// Writes a per-forum permutation of the rank, in base radix, over the leading
// letters, lengthening a name too short to hold it. The count of those letters
// follows from the name's length, so two names of one length and alphabet
// differ wherever their ranks do.
void SpellRank(Letters &letters, qint64 rank, int radix, int rankLetters, quint64 forumKey)
{
    const auto index = static_cast<quint64>(rank - 1);
    int digits = std::min(static_cast<int>(letters.size()), rankLetters);
    quint64 capacity = 1;
    for (int i = 0; i < digits; ++i)
        capacity *= radix;
    for (; index >= capacity && digits < rankLetters; ++digits)
        capacity *= radix;
    if (digits > letters.size())
        letters.resize(digits);
    // Past MemberLimit only; the modulo merely keeps the walk finite.
    quint64 value =
        Permute(index % capacity, capacity, forumKey ^ static_cast<quint64>(radix * 100 + digits));
    for (int i = 0; i < digits; ++i) {
        letters[i] = static_cast<int>(value % radix);
        value /= radix;
    }
}

// Two GBK bytes per character, in the list's order; encoded once, as the
// encoder costs more than a name.
const QByteArray &HanziBytes()
{
    static const QByteArray bytes = [] {
        QByteArray encoded;
        EncodeCp936(CommonHanzi, encoded); // GB2312 only, so it cannot fail
        return encoded;
    }();
    return bytes;
}

Letters DrawLetters(Mixer &mix, int length, int radix)
{
    Letters letters(length);
    for (int &letter : letters)
        letter = mix.Below(radix);
    return letters;
}

} // namespace

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
        return std::clamp<qint64>(*countOverride_, 0, MemberLimit);
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
    const quint64 forumKey = ForumHash(forumName);
    const qint64 count = MemberCount(forumName);
    for (qint64 rank = first; rank <= last; ++rank) {
        SampleMember member = Member(forumName, DayRank(forumKey, rank, count), names_);
        member.rank = rank;
        member.level = DayLevel(forumKey, member);
        members.append(member);
    }
    return members;
}

// The day-0 rank of the member at `rank`. Ranks go in blocks of ShuffleSpan
// whose edges the day moves, so members cross pages and range ends; half of
// each block keep their place, the rest trade places among themselves.
qint64 MemberRoster::DayRank(quint64 forumKey, qint64 rank, qint64 count) const
{
    if (day_ == 0)
        return rank;
    const quint64 dayKey = forumKey ^ (static_cast<quint64>(day_) * 0x9FB21C651E98DF25ULL);
    const qint64 shift = 1 + Mixer(dayKey).Below(ShuffleSpan - 1);
    const qint64 block = (rank - 1 + shift) / ShuffleSpan;
    const qint64 first = std::max<qint64>(block * ShuffleSpan - shift + 1, 1);
    const qint64 last = std::min<qint64>((block + 1) * ShuffleSpan - shift, count);
    const quint64 blockKey = dayKey ^ (static_cast<quint64>(block) * 0xD6E8FEB86659FD93ULL);
    QVarLengthArray<qint64, ShuffleSpan> moving;
    qsizetype place = -1;
    for (qint64 other = first; other <= last; ++other) {
        if (Mixer(blockKey ^ static_cast<quint64>(other)).Below(2) == 0)
            continue;
        if (other == rank)
            place = moving.size();
        moving.append(other);
    }
    if (place < 0)
        return rank;
    const auto size = static_cast<quint64>(moving.size());
    return moving[static_cast<qsizetype>(Permute(static_cast<quint64>(place), size, blockKey))];
}

// Three members in a hundred gain a level a day, each on days of its own, so
// a level never falls from one day to the next.
int MemberRoster::DayLevel(quint64 forumKey, const SampleMember &member) const
{
    Mixer days(forumKey ^ (static_cast<quint64>(member.id) * 0xC2B2AE3D27D4EB4FULL));
    int level = member.level;
    for (int day = 1; day <= day_ && level < MaxLevel; ++day)
        level += days.Below(100) < 3 ? 1 : 0;
    return level;
}

SampleMember MemberRoster::Member(const QByteArray &forumName, qint64 rank, Names names)
{
    const quint64 forumKey = ForumHash(forumName);
    Mixer mix(forumKey ^ (static_cast<quint64>(rank) * 0xD6E8FEB86659FD93ULL));
    SampleMember result;
    result.rank = rank;
    result.id = rank;
    // Both kinds of names take the same draws, so a member's level is the same.
    const int kind = mix.Below(100);
    const bool ascii = kind < 35;
    const int radix = static_cast<int>(ascii ? AsciiAlphabet.size() : CommonHanzi.size());
    // Mostly short Chinese names, with a share of the longest allowed ones.
    const int length = ascii       ? 3 + mix.Below(14)
                       : kind < 45 ? 14
                       : kind < 85 ? 1 + mix.Below(6)
                                   : 7 + mix.Below(7);
    Letters letters = DrawLetters(mix, length, radix);
    result.level = 1 + mix.Below(MaxLevel);
    if (names == Names::Distinct)
        SpellRank(letters, rank, radix, ascii ? AsciiRankLetters : HanziRankLetters, forumKey);

    const QByteArray &hanzi = HanziBytes();
    result.name.reserve(letters.size() * (ascii ? 1 : 2));
    for (const int letter : letters) {
        if (ascii)
            result.name += AsciiAlphabet[letter];
        else
            result.name += QByteArrayView(hanzi).sliced(qsizetype{letter} * 2, 2);
    }
    return result;
}

} // namespace kestrune
