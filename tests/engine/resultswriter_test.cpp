// The results file's bytes for what the scans of successive pages met.
#include "engine/resultswriter.h"
#include "platform/outputfile.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <vector>

namespace kestrune {
namespace {

struct Met
{
    std::optional<std::int64_t> number; // none: a value
    std::string text;
};
using Page = std::vector<Met>;

struct WriterCase
{
    const char *label;
    std::vector<Page> pages;
    std::string file;
};

void PrintTo(const WriterCase &c, std::ostream *os)
{
    *os << c.label;
}

class ResultsWriterTest : public testing::TestWithParam<WriterCase>
{};

TEST_P(ResultsWriterTest, WritesTheColumns)
{
    const QTemporaryDir directory;
    const std::filesystem::path path(directory.filePath(QStringLiteral("r.txt")).toStdU16String());
    ResultsWriter writer;
    for (const Page &page : GetParam().pages) {
        for (const Met &met : page) {
            if (met.number)
                writer.Name(*met.number, met.text);
            else
                writer.Value(met.text);
        }
        OutputFile file(path, OutputFile::Mode::Append);
        writer.WritePage(file);
        file.Close();
    }
    writer.EndRun(path, nullptr);
    std::ifstream written(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ResultsWriterTest,
    testing::Values(
        WriterCase{"one digit", {{{1, "abc"}, {{}, "12"}}}, " 1     abc              12\r\n"},
        WriterCase{"two digits", {{{42, "abc"}, {{}, "7"}}}, " 42    abc              7\r\n"},
        WriterCase{"three digits", {{{100, "x"}, {{}, "7"}}}, " 100   x                7\r\n"},
        WriterCase{"number past column 8",
                   {{{12345678, "x"}, {{}, "1"}}},
                   " 12345678  x            1\r\n"},
        WriterCase{"negative", {{{-5, "x"}, {{}, "7"}}}, "-5     x                7\r\n"},
        WriterCase{"name ends at column 24",
                   {{{1, "nnnnnnnnnnnnnnnnn"}, {{}, "3"}}},
                   " 1     nnnnnnnnnnnnnnnnn 3\r\n"},
        WriterCase{"name past column 25",
                   {{{1, "nnnnnnnnnnnnnnnnnnnn"}, {{}, "3"}}},
                   " 1     nnnnnnnnnnnnnnnnnnnn 3\r\n"},
        WriterCase{"Chinese name",
                   {{{1, "\xD6\xD0\xCE\xC4"}, {{}, "5"}}},
                   " 1     \xD6\xD0\xCE\xC4             5\r\n"},
        WriterCase{"value alone", {{{{}, "9"}}}, "9\r\n"},
        WriterCase{"two names on a line",
                   {{{1, "a"}, {2, "b"}, {{}, "3"}}},
                   " 1     a                 2  b 3\r\n"},
        WriterCase{"line closed on the next page",
                   {{{1, "a"}}, {}, {{{}, "5"}}},
                   " 1     a                5\r\n"},
        // Columns count from the page's start.
        WriterCase{"name on a line left open",
                   {{{1, "a"}}, {{2, "b"}, {{}, "3"}}},
                   " 1     a                 2     b                3\r\n"},
        WriterCase{
            "line closed at the run's end", {{{1, "a"}}, {}}, " 1     a                \r\n"}));

} // namespace
} // namespace kestrune
