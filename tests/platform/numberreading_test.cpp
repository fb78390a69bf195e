#include "platform/narrowing.h"
#include "platform/numberreading.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kestrune {
namespace {

struct Reading
{
    std::string text;
    std::optional<double> value; // empty: the reading fails with `error`
    ErrorKind error = ErrorKind::TypeMismatch;
};

void ExpectReading(const Expected<double> &read, const Reading &expected)
{
    ASSERT_EQ(read.HasValue(), expected.value.has_value());
    if (expected.value)
        EXPECT_DOUBLE_EQ(*read, *expected.value);
    else
        EXPECT_EQ(read.Error().Kind(), expected.error);
}

void PrintTo(const Reading &reading, std::ostream *os)
{
    *os << '"' << reading.text << '"';
}

class ReadNumberTest : public testing::TestWithParam<Reading>
{};

TEST_P(ReadNumberTest, ReadsWholeTextOrFails)
{
    ExpectReading(ReadNumber(GetParam().text), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    testing::Values(Reading{"1", 1}, Reading{"2000", 2000}, Reading{"  12\t", 12},
                    Reading{"-40", -40}, Reading{"+7", 7}, Reading{"1.5", 1.5},
                    Reading{"22.5", 22.5}, Reading{".5", 0.5}, Reading{"1e10", 1e10},
                    Reading{"1E-2", 0.01}, Reading{"1,000", 1000}, Reading{"&H10", 16},
                    Reading{"&o17", 15}, Reading{"2147483648", 2147483648.0},
                    Reading{"1e-400", 0.0}, Reading{"", {}}, Reading{"   ", {}}, Reading{"abc", {}},
                    Reading{"12abc", {}}, Reading{"1e", {}}, Reading{"1,", {}}, Reading{",1", {}},
                    Reading{"&H", {}}, Reading{"1 2", {}}, Reading{"-", {}},
                    Reading{"1e400", {}, ErrorKind::Overflow},
                    Reading{"1e-99999999999999999999", 0.0},
                    // As a Chinese input method types them.
                    Reading{"　－１，０００．５　", -1000.5}, Reading{"＋１Ｅ２", 100},
                    Reading{"＆ｈ１ｆ", 31}, Reading{"１２ａ", {}}, Reading{"１２。", {}}));

class ReadLeadingNumberTest : public testing::TestWithParam<Reading>
{};

TEST_P(ReadLeadingNumberTest, ReadsLeadingNumber)
{
    ExpectReading(ReadLeadingNumber(GetParam().text), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadLeadingNumberTest,
    testing::Values(Reading{"10", 10}, Reading{"", 0}, Reading{"abc", 0}, Reading{"0", 0},
                    Reading{"5", 5}, Reading{"12abc", 12}, Reading{" 1 2 3", 123},
                    Reading{"1.5.5", 1.5}, Reading{"-3", -3}, Reading{"- 3", -3}, Reading{".", 0},
                    Reading{"2.", 2}, Reading{"1e38", 1e38}, Reading{"1e", 1}, Reading{"1e+", 1},
                    Reading{"3d2", 300}, Reading{"&H1F", 31}, Reading{"&O7x", 7},
                    Reading{"１０秒", 10}, Reading{"－　．５", -0.5}, Reading{"１ｄ２", 100},
                    Reading{"1" + std::string(40, '0'), 1e40},
                    Reading{"1e999", {}, ErrorKind::Overflow}));

TEST(RoundToInt32Test, RoundsHalvesToEvenAndChecksRange)
{
    const struct
    {
        double in;
        std::int32_t out;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {-0.5, 0},
                 {-1.5, -2},
                 {21.5, 22},
                 {2147483647.4, 2147483647},
                 {-2147483648.0, -2147483647 - 1}};
    for (const auto &c : cases)
        EXPECT_EQ(*RoundToInt32(c.in), c.out) << c.in;
    for (const double bad : {2147483647.5, -2147483649.0, 1e10, std::nan("")})
        EXPECT_EQ(RoundToInt32(bad).Error().Kind(), ErrorKind::Overflow) << bad;
}

TEST(ToSingleTest, OverflowsPastFloatRange)
{
    EXPECT_FLOAT_EQ(*ToSingle(1e37), 1e37f);
    EXPECT_FLOAT_EQ(*ToSingle(-0.1), -0.1f);
    EXPECT_FALSE(ToSingle(1e39));
    EXPECT_FALSE(ToSingle(-1e39));
}

} // namespace
} // namespace kestrune
