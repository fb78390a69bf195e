#include "engine/messages/timeleftmessage.h"
#include "engine/run/timeleft.h"
#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(TimeLeftTest, MeanFetchPlusPauseForEveryPageLeft)
{
    const struct
    {
        std::int64_t pagesLeft, pauseMs, fetchMsTotal, pagesMeasured;
        const char *text; // the narrow form is the one without 剩余
    } cases[] = {
        {10, 1000, 0, 0, ""}, // nothing measured yet
        {25, 1000, 1000, 4, "剩余约 32 秒"},
        {1, 0, 1, 1, "剩余约 1 秒"}, // a part second rounds up
        {125, 1000, 0, 3, "剩余约 2 分 5 秒"},
        {3780, 1000, 0, 1, "剩余约 1 小时 3 分"},
        {750, 1000, 0, 1, "约 12 分 30 秒"},
        {0, 1000, 500, 1, "剩余约 0 秒"}, // the last page done
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(DescribeTimeLeft(
                      TimeLeftMilliseconds(c.pagesLeft, c.pauseMs, c.fetchMsTotal, c.pagesMeasured),
                      text.startsWith(u'约')),
                  text);
    }
}

} // namespace
} // namespace kestrune
