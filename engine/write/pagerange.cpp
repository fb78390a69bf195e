#include "engine/write/pagerange.h"

#include "platform/narrowing.h"
#include "platform/numberreading.h"

namespace kestrune {

Expected<std::int64_t> RankOfText(std::string_view rankText)
{
    const Expected<double> rank = ReadNumber(rankText);
    if (!rank)
        return rank.Error();
    const Expected<std::int32_t> rounded = RoundToInt32(*rank - 1);
    if (!rounded)
        return rounded.Error();
    return std::int64_t{*rounded} + 1;
}

Expected<std::int64_t> PageOfRank(std::string_view rankText)
{
    const Expected<std::int64_t> rank = RankOfText(rankText);
    if (!rank)
        return rank.Error();
    return (*rank - 1) / RanksPerPage + 1;
}

Expected<float> PauseSeconds(std::string_view delayText)
{
    const Expected<double> tenths = ReadLeadingNumber(delayText);
    if (!tenths)
        return tenths.Error();
    return ToSingle(*tenths / 10);
}

} // namespace kestrune
