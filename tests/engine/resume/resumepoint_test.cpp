#include "engine/resume/resumepoint.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

const ResumePoint Sample{.forum = QStringLiteral("河南\\大学\n=end"),
                         .nextRank = 741,
                         .toRank = 2000,
                         .delay = QStringLiteral("1２"),
                         .nextNumber = -3,
                         .table = QStringLiteral("Henu_20261207-234000.csv"),
                         .host = QStringLiteral("https://127.0.0.1:8936/"),
                         .retries = 2,
                         .timeoutSeconds = 30,
                         .resultsSize = 12345,
                         .tableSize = 0};

TEST(ResumePointTest, ReadsBackWhatItWrites)
{
    const auto read = ParseResumePoint(FormatResumePoint(Sample));
    ASSERT_TRUE(std::holds_alternative<ResumePoint>(read));
    EXPECT_EQ(std::get<ResumePoint>(read), Sample);
}

// A file cut short anywhere, even at a line's end, is no point.
TEST(ResumePointTest, RefusesEveryShorterText)
{
    const std::string text = FormatResumePoint(Sample);
    for (std::size_t size = 0; size < text.size(); ++size) {
        const auto read = ParseResumePoint(std::string_view(text).substr(0, size));
        EXPECT_TRUE(std::holds_alternative<ResumeTextProblem>(read)) << size;
    }
}

TEST(ResumePointTest, RefusesEditedTexts)
{
    const std::string good = FormatResumePoint(Sample);
    const auto replaced = [&good](std::string_view from, std::string_view to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct
    {
        std::string text;
        bool newerVersion;
    } cases[] = {
        {replaced("kestrune-resume 1", "kestrune-resume 2"), true},
        {replaced("kestrune-resume 1", "kestrune-resume x"), false},
        {replaced("retries=2", "retries=-1"), false},
        {replaced("next-rank=741", "next-rank=7 41"), false},
        {replaced("to-rank=2000", "forum=Henu"), false}, // twice, and one missing
        {replaced("timeout=30", "colour=red"), false},
        {replaced("\\\\", "\\q"), false},
        {good + "more\n", false},
        {replaced("Henu", "\xFF"), false},
    };
    for (const auto &c : cases) {
        const auto read = ParseResumePoint(c.text);
        ASSERT_TRUE(std::holds_alternative<ResumeTextProblem>(read)) << c.text;
        EXPECT_EQ(std::get<ResumeTextProblem>(read).newerVersion, c.newerVersion) << c.text;
        EXPECT_FALSE(std::get<ResumeTextProblem>(read).detail.empty());
    }
}

} // namespace
} // namespace kestrune
