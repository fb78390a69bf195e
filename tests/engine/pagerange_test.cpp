#include "engine/pagerange.h"
#include "platform/runtimeerror.h"

#include <gtest/gtest.h>
#include <optional>

namespace kestrune {
namespace {

// How texts are read is the number-reading test's; here the arithmetic.
TEST(PageRangeTest, RankToPage)
{
    const struct
    {
        const char *rank;
        std::optional<std::int64_t> page; // empty: the reading fails
    } cases[] = {{"1", 1},      {"20", 1},          {"21", 2},
                 {"2000", 100}, {"0", 1},           {"-19", 0},
                 {"-40", -1},   {"22.5", 2},        {"2147483648", 107374183},
                 {"1e10", {}},  {"-2147483649", {}}};
    for (const auto &c : cases) {
        if (c.page)
            EXPECT_EQ(PageOfRank(c.rank), *c.page) << c.rank;
        else
            EXPECT_THROW(PageOfRank(c.rank), RuntimeError) << c.rank;
    }
}

TEST(PageRangeTest, DelayToPause)
{
    const struct
    {
        std::string delay;
        std::optional<float> seconds;
    } cases[] = {
        {"10", 1.0f},  {"5", 0.5f},     {"12abc", 1.2f},
        {"", 0.0f},    {"abc", 0.0f},   {"0", 0.0f},
        {"-5", -0.5f}, {"1e38", 1e37f}, {"1" + std::string(40, '0'), {}},
    };
    for (const auto &c : cases) {
        if (c.seconds)
            EXPECT_FLOAT_EQ(PauseSeconds(c.delay), *c.seconds) << c.delay;
        else
            EXPECT_THROW(PauseSeconds(c.delay), RuntimeError) << c.delay;
    }
}

} // namespace
} // namespace kestrune
