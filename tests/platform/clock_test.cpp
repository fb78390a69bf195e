#include "platform/clock.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(ClockTest, FetchTimeoutEndsOnTheBoundaryAfterTheLast)
{
    const struct
    {
        std::int64_t sentAt;
        int boundaries;
        std::int64_t wait;
    } cases[] = {{0, 3, 4000},        {1, 3, 3999},  {999, 3, 3001},
                 {12345678, 3, 3322}, {-1, 3, 3001}, {1, 60, 60999}};
    for (const auto &c : cases)
        EXPECT_EQ(FetchTimeoutMilliseconds(c.sentAt, c.boundaries), c.wait) << c.sentAt;
}

TEST(ClockTest, PauseLength)
{
    EXPECT_EQ(PauseMilliseconds(1.0f), 1000);
    EXPECT_EQ(PauseMilliseconds(0.5f), 500);
    EXPECT_EQ(PauseMilliseconds(0.0f), 0);
    EXPECT_EQ(PauseMilliseconds(-3.0f), 0);
    EXPECT_GT(PauseMilliseconds(3e38f), 365LL * 24 * 3600 * 1000); // huge, but no overflow
}

} // namespace
} // namespace kestrune
