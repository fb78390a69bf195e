#pragma once

#include "platform/expected.h"

#include <cstdint>
#include <string_view>

namespace kestrune {

inline constexpr std::int64_t RanksPerPage = 20;

// A rank box's text as the run reads it: round(rank - 1) + 1. Type mismatch
// or overflow for text that is no rank.
Expected<std::int64_t> RankOfText(std::string_view rankText);

// The page a rank falls on: round(rank - 1) / 20 + 1, truncating toward zero.
Expected<std::int64_t> PageOfRank(std::string_view rankText);

// A member's rank from the page and the name's place on it, from 1.
inline constexpr std::int64_t RankOnPage(std::int64_t page, std::int64_t place)
{
    return (page - 1) * RanksPerPage + place;
}

inline constexpr std::int64_t FirstRankOfPage(std::int64_t page)
{
    return (page - 1) * RanksPerPage + 1;
}
inline constexpr std::int64_t LastRankOfPage(std::int64_t page)
{
    return page * RanksPerPage;
}

// Seconds of pause a delay text asks for (tenths of a second); overflow
// when it does not fit a 32-bit float.
Expected<float> PauseSeconds(std::string_view delayText);

} // namespace kestrune
