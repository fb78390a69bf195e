// The results file's bytes for what the scans of successive pages met.
#include "engine/write/resultswriter.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

namespace kestrune {
namespace {

TEST(ResultsWriterTest, WritesTheColumnsPageByPage)
{
    const struct
    {
        int page;
        std::optional<std::int64_t> number; // none: no name
        std::string name;
        std::optional<std::string> value; // none: the line is left open
        std::string bytes;
    } lines[] = {
        {1, 1, "abc", "12", " 1     abc              12\r\n"},
        {1, 42, "abc", "7", " 42    abc              7\r\n"},
        {1, 12345678, "x", "1", " 12345678  x            1\r\n"},
        {1, -5, "x", "7", "-5     x                7\r\n"},
        {1, 1, "nnnnnnnnnnnnnnnnn", "3", " 1     nnnnnnnnnnnnnnnnn 3\r\n"},
        {1, 1, "nnnnnnnnnnnnnnnnnnnn", "3", " 1     nnnnnnnnnnnnnnnnnnnn 3\r\n"},
        {1, 1, "\xD6\xD0\xCE\xC4", "5", " 1     \xD6\xD0\xCE\xC4             5\r\n"},
        {1, {}, "", "9", "9\r\n"},
        {1, 1, "a", {}, " 1     a                "},
        {1, 2, "b", "3", " 2  b 3\r\n"},
        {1, 1, "a", {}, " 1     a                "},
        {3, {}, "", "5", "5\r\n"}, // after an empty page
        {3, 1, "a", {}, " 1     a                "},
        // Columns count from the page's start.
        {4, 2, "b", "3", " 2     b                3\r\n"},
        {4, 1, "a", {}, " 1     a                "},
        {5, {}, "", {}, "\r\n"}, // the run's end
    };
    std::string expected;
    const QTemporaryDir directory;
    const std::filesystem::path path(directory.filePath(QStringLiteral("r.txt")).toStdU16String());
    ResultsWriter writer(path, nullptr);
    for (int page = 1; const auto &line : lines) {
        for (; page < line.page; ++page) {
            ASSERT_TRUE(writer.WritePage());
            ASSERT_TRUE(writer.KeepPage());
        }
        if (line.number)
            writer.Name(*line.number, line.name);
        if (line.value)
            writer.Value(*line.value);
        expected += line.bytes;
    }
    ASSERT_TRUE(writer.EndRun());
    std::ifstream written(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), expected);
}

} // namespace
} // namespace kestrune
