#include "tablegenerator.h"

#include "tables/tableformat.h"
#include "tools/sampleforum/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kestrune {

namespace {

constexpr std::string_view Ascii =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
constexpr std::string_view Guarded = "=+-@'"; // starts a formula in a spreadsheet

// A CJK unified ideograph, three bytes in UTF-8.
void AppendChinese(std::string &name, Mixer &mix, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t code = 0x4E00 + mix.Below(0x9FA5 - 0x4E00 + 1);
        name += static_cast<char>(0xE0 | (code >> 12U));
        name += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
        name += static_cast<char>(0x80 | (code & 0x3FU));
    }
}

void AppendAscii(std::string &name, Mixer &mix, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        name += Ascii[mix.Below(Ascii.size())];
}

// Half Chinese (2-6 characters), three in ten ASCII (3-12), the rest Chinese
// then ASCII ("小明abc123", 2-12); one in 500 quoted or guarded.
std::string MadeUpName(Mixer &mix)
{
    std::string name;
    const std::size_t kind = mix.Below(10);
    if (kind < 5) {
        AppendChinese(name, mix, 2 + mix.Below(3) + mix.Below(3));
    } else if (kind < 8) {
        AppendAscii(name, mix, 3 + mix.Below(5) + mix.Below(5));
    } else {
        AppendChinese(name, mix, 1 + mix.Below(4));
        AppendAscii(name, mix, 1 + mix.Below(8));
    }
    switch (mix.Below(2000)) {
    case 0:
    case 1:
        name.insert(0, 1, Guarded[mix.Below(Guarded.size())]);
        break;
    case 2:
        name += ',';
        AppendAscii(name, mix, 1);
        break;
    case 3:
        name = '"' + name + '"';
        break;
    default:
        break;
    }
    return name;
}

// Levels fall with rank, from 18 at the top to 1 at the bottom, give or take one.
int LevelAt(std::size_t position, std::size_t members, Mixer &mix)
{
    const double share = static_cast<double>(position) / static_cast<double>(members);
    const int level =
        18 - static_cast<int>(17.0 * std::sqrt(share)) + static_cast<int>(mix.Below(3)) - 1;
    return std::clamp(level, 1, 18);
}

struct Member
{
    std::string name;
    int level = 1;
};

// A name no member has yet, or now and then (one in 1,000) one that is taken.
std::string NextName(Mixer &mix, std::unordered_set<std::string> &taken,
                     const std::vector<Member> &members)
{
    if (!members.empty() && mix.Below(1000) == 0)
        return members[mix.Below(members.size())].name;
    for (;;) {
        std::string name = MadeUpName(mix);
        if (taken.insert(name).second)
            return name;
    }
}

std::string Written(const std::vector<Member> &members)
{
    std::string text;
    text.reserve(members.size() * 32);
    text.append(ByteOrderMark).append(ExportTableHeader).append(TableLineEnd);
    std::int64_t rank = 0;
    for (const Member &member : members)
        text +=
            TableRow().Number(++rank).Text(member.name).Text(std::to_string(member.level)).Finish();
    return text;
}

} // namespace

GeneratedTables GenerateExportTables(std::size_t members)
{
    Mixer mix(1017);
    std::unordered_set<std::string> taken;
    taken.reserve(members + members / 16);
    std::vector<Member> older;
    older.reserve(members);
    for (std::size_t i = 0; i < members; ++i) {
        std::string name = NextName(mix, taken, older);
        older.push_back({std::move(name), LevelAt(i, members, mix)});
    }

    // The newer ranking: each member kept is placed by a key, their old
    // position moved a little; new members go in between, anywhere.
    struct Placed
    {
        std::int64_t key;
        std::size_t order;
        Member member;
    };
    std::vector<Placed> placed;
    placed.reserve(members);
    for (std::size_t i = 0; i < older.size(); ++i) {
        if (mix.Below(100) < 2)
            continue; // gone
        std::int64_t move = 0;
        const std::size_t how = mix.Below(100);
        if (how >= 15) {
            const auto distance = static_cast<std::int64_t>(1 + mix.Below(how < 97 ? 60 : 5000));
            move = mix.Below(2) == 0 ? distance : -distance;
        }
        Member member = older[i];
        if (mix.Below(100) < 3)
            member.level = std::min(18, member.level + 1 + static_cast<int>(mix.Below(2)));
        placed.push_back({2 * (static_cast<std::int64_t>(i) + move), i, std::move(member)});
    }
    std::vector<Member> none;
    while (placed.size() < members) {
        const std::size_t at = mix.Below(members);
        placed.push_back({2 * static_cast<std::int64_t>(at) + 1,
                          placed.size(),
                          {NextName(mix, taken, none), LevelAt(at, members, mix)}});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
        return a.key != b.key ? a.key < b.key : a.order < b.order;
    });
    std::vector<Member> newer;
    newer.reserve(members);
    for (Placed &place : placed)
        newer.push_back(std::move(place.member));
    return {Written(older), Written(newer)};
}

} // namespace kestrune
