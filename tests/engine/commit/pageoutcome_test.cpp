// What a page's names and status make of it, where retries and gaps meet.
#include "engine/commit/pageoutcome.h"
#include "engine/fetch/pagefetcher.h"
#include "engine/fetch/retrywait.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <vector>

namespace kestrune {
namespace {

// A refusal, or an answer with nothing in it, is retried only while tries
// are left and the server may answer later; names after empty pages stop
// the run. Pages 0 and below lie before rank 1: an empty one there opens no
// gap, so the names of page 1 after it are written.
TEST(PageOutcomeTest, JudgesAPageAfterTheEmptyOnes)
{
    const struct
    {
        std::vector<std::int64_t> emptyPages;
        std::int64_t names;
        int status;
        bool retryLeft;
        PageVerdict verdict;
        std::int64_t gapStart = 0; // 0: no gap
        const char *body = "page";
    } pages[] = {
        {{2, 3}, 0, 503, true, PageVerdict::Retry, 2},
        {{2, 3}, 0, 503, false, PageVerdict::Refused, 2},
        {{2, 3}, 0, 404, true, PageVerdict::Refused, 2},
        {{2, 3}, 4, 503, true, PageVerdict::NamesAfterGap, 2},
        {{}, 0, 200, true, PageVerdict::Empty},
        {{}, 0, 204, true, PageVerdict::Retry, 0, ""},
        {{-2, -1, 0}, 20, 200, true, PageVerdict::Named},
        {{0, 1}, 20, 200, true, PageVerdict::NamesAfterGap, 1},
        {{3, 4}, 20, 200, true, PageVerdict::NamesAfterGap, 3},
    };
    for (const auto &page : pages) {
        EmptyRun empty;
        for (const std::int64_t at : page.emptyPages)
            empty = empty.With(at);
        const std::optional<FetchFailure> refusal =
            RefusalOf({.body = page.body, .status = page.status});
        EXPECT_EQ(JudgePage(page.names, refusal, page.retryLeft, empty), page.verdict)
            << page.names << " names, status " << page.status << ", body " << page.body;
        EXPECT_EQ(empty.Any() ? empty.First() : 0, page.gapStart);
    }
}

// As the server asks, in seconds or until a date, capped; else doubling.
TEST(PageOutcomeTest, WaitBeforeARetry)
{
    const qint64 now =
        QDateTime(QDate(2026, 12, 7), QTime(8, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    const struct
    {
        int tries;
        std::int64_t pauseMs;
        const char *retryAfter;
        std::int64_t waitMs;
    } cases[] = {
        {1, 0, " 7 ", 7000},
        {1, 0, "3600", 120000},
        {1, 0, "Mon, 07 Dec 2026 08:00:30 GMT", 30000},
        {1, 0, "Mon, 07 Dec 2026 07:00:00 GMT", 0},
        {3, 0, "", 4000},
        {2, 1500, "soon", 3000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RetryWaitMilliseconds(c.tries, c.pauseMs, c.retryAfter, now), c.waitMs)
            << c.retryAfter;
}

} // namespace
} // namespace kestrune
