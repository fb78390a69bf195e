#include "engine/write/pagerange.h"

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
        std::int64_t asRead = 0;
    } cases[] = {{"1", 1, 1},      {"20", 1, 20},
                 {"21", 2, 21},    {"2000", 100, 2000},
                 {"0", 1, 0},      {"-19", 0, -19},
                 {"-40", -1, -40}, {"22.5", 2, 23}, // 21.5 rounds to even
                 {"23.5", 2, 23},  {"2147483648", 107374183, 2147483648},
                 {"1e10", {}},     {"-2147483649", {}}};
    for (const auto &c : cases) {
        const Expected<std::int64_t> page = PageOfRank(c.rank);
        ASSERT_EQ(page.HasValue(), c.page.has_value()) << c.rank;
        if (page) {
            EXPECT_EQ(*page, *c.page) << c.rank;
            EXPECT_EQ(*RankOfText(c.rank), c.asRead) << c.rank;
        }
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
        const Expected<float> seconds = PauseSeconds(c.delay);
        ASSERT_EQ(seconds.HasValue(), c.seconds.has_value()) << c.delay;
        if (seconds) {
            EXPECT_FLOAT_EQ(*seconds, *c.seconds) << c.delay;
        }
    }
}

} // namespace
} // namespace kestrune
