#include "engine/pagerange.h"

#include "platform/numberreading.h"

namespace kestrune {

std::int64_t PageOfRank(std::string_view rankText)
{
    return RoundToInt32(ReadNumber(rankText) - 1) / RanksPerPage + 1;
}

float PauseSeconds(std::string_view delayText)
{
    return ToSingle(ReadLeadingNumber(delayText) / 10);
}

} // namespace kestrune
