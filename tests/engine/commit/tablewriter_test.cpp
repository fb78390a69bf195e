// An export's table: the ranks asked, each name with its level, read back.
#include "engine/commit/tableplan.h"
#include "engine/commit/tablewriter.h"
#include "tables/tableformat.h"
#include "tables/tablereader.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kestrune {
namespace {

// "n:" a name, "v:" a value, in the order the scan meets them.
using Events = std::vector<std::string>;

std::vector<std::vector<std::string>> ReadBack(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    TableReader reader(text);
    EXPECT_EQ(reader.ReadHeader(ExportTableHeader), std::nullopt);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> fields;
    while (reader.Next(fields))
        rows.push_back(fields);
    EXPECT_EQ(reader.Problem(), std::nullopt);
    return rows;
}

TEST(TableWriterTest, KeepsTheRanksAskedWithTheirLevels)
{
    const struct
    {
        const char *what;
        std::int64_t from, to;
        std::int64_t page;
        Events events;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {"values missing or doubled",
         21,
         40,
         2,
         {"v:orphan", "n:a", "n:b", "v:1", "v:2", "n:c"},
         {{"21", "a", ""}, {"22", "b", "1"}, {"23", "c", ""}}},
        {"off the page's bounds",
         25,
         26,
         2,
         {"n:a", "n:b", "n:c", "n:d", "n:e", "v:5", "n:f", "n:g"},
         {{"25", "e", "5"}, {"26", "f", ""}}},
        {"pages before rank 1", -30, 2, 0, {"n:a", "n:b"}, {{"-19", "a", ""}, {"-18", "b", ""}}},
        {"GBK decoded, bad bytes replaced",
         1,
         20,
         1,
         {"n:\xD5\xC5\xC8\xFD", "v:\xB5\xC8\xBC\xB6", "n:a\x81", "n:=1+1"},
         {{"1", "张三", "等级"}, {"2", "a\xEF\xBF\xBD", ""}, {"3", "=1+1", ""}}},
    };
    for (const auto &c : cases) {
        const QTemporaryDir directory;
        const std::filesystem::path path(
            directory.filePath(QStringLiteral("t.csv")).toStdU16String());
        TableWriter table(path, nullptr, c.from, c.to);
        ASSERT_TRUE(table.Prepare()) << c.what;
        table.StartPage(c.page);
        for (const std::string &event : c.events) {
            if (event.starts_with("n:"))
                table.Name(0, std::string_view(event).substr(2));
            else
                table.Value(std::string_view(event).substr(2));
        }
        ASSERT_TRUE(table.WritePage()) << c.what;
        ASSERT_TRUE(table.KeepPage()) << c.what;
        const std::vector<std::vector<std::string>> rows = ReadBack(path);
        EXPECT_EQ(rows, c.rows) << c.what;
        EXPECT_EQ(table.Summary().undecodableNames, c.page == 1 && c.to == 20 ? 1 : 0) << c.what;
    }
}

TEST(TableWriterTest, NamesAFileWindowsCanHold)
{
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 5, 1));
    for (const auto &[forum, name] :
         {std::pair{u"河大", u"河大_20261207-090501.csv"},
          {u"", u"__20261207-090501.csv"},
          {u"a\\b/c:d*e?f\"g<h>i|j\tk\x7f😀", u"a_b_c_d_e_f_g_h_i_j_k_😀_20261207-090501.csv"}})
        EXPECT_EQ(TableFileName(QString::fromUtf16(forum), start), QString::fromUtf16(name));
}

} // namespace
} // namespace kestrune
