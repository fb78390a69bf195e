// What a page's names and status make of it, where retries and gaps meet.
#include "engine/pageoutcome.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(PageOutcomeTest, RetriesOnlyEmptyPagesTheServerMayAnswerLater)
{
    const FetchFailure unavailable{.kind = FetchFailure::Kind::HttpStatus, .status = 503};
    const FetchFailure notFound{.kind = FetchFailure::Kind::HttpStatus, .status = 404};
    const EmptyRun gap = EmptyRun{}.With(2).With(3);
    const struct
    {
        std::int64_t names;
        std::optional<FetchFailure> refusal;
        bool retryLeft;
        PageVerdict verdict;
    } pages[] = {
        {0, unavailable, true, PageVerdict::Retry},
        {0, unavailable, false, PageVerdict::Refused},
        {0, notFound, true, PageVerdict::Refused},
        {4, unavailable, true, PageVerdict::NamesAfterGap},
    };
    for (const auto &page : pages)
        EXPECT_EQ(JudgePage(page.names, page.refusal, page.retryLeft, gap), page.verdict)
            << page.names << " names, status " << page.refusal->status;
}

} // namespace
} // namespace kestrune
