// Tables written by TableRow and read back by TableReader.
#include "tables/tableformat.h"
#include "tables/tablereader.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

std::string Table(const std::string &rows)
{
    return std::string(ByteOrderMark) + std::string(ExportTableHeader) + "\r\n" + rows;
}

TEST(TableFormatTest, NamesComeBackAsWritten)
{
    const struct
    {
        std::string name;
        std::string field; // as written
    } cases[] = {
        {"张三", "张三"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {"=HYPERLINK(\"http://x\",\"点这里\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"点这里\"\")\""},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"'quoted", "''quoted"},
        {"\tTab", "'\tTab"},
        {"\rcr", "\"'\rcr\""},
        {"mid=dle", "mid=dle"},
    };
    std::string rows;
    for (int rank = 1; const auto &c : cases) {
        const std::string line = TableRow().Number(rank++).Text(c.name).Text("3").Finish();
        EXPECT_EQ(line, std::to_string(rank - 1) + "," + c.field + ",3\r\n") << c.name;
        rows += line;
    }
    const std::string text = Table(rows);
    TableReader reader(text);
    ASSERT_EQ(reader.ReadHeader(ExportTableHeader), std::nullopt);
    std::vector<std::string> fields;
    for (const auto &c : cases) {
        ASSERT_TRUE(reader.Next(fields)) << c.name;
        EXPECT_EQ(fields, (std::vector<std::string>{fields[0], c.name, "3"}));
    }
    EXPECT_FALSE(reader.Next(fields));
    EXPECT_EQ(reader.Problem(), std::nullopt);
}

TEST(TableReaderTest, TellsWhatIsWrongAndWhere)
{
    using Kind = TableProblem::Kind;
    const struct
    {
        std::string text;
        TableProblem problem;
    } cases[] = {
        {"名次,会员名,等级\r\n1,a,2\r\n", {.kind = Kind::NoByteOrderMark}},
        {"\xEF\xBB\xBF名次,会员名\r\n1,a\r\n", {.kind = Kind::WrongHeader}},
        {"\xEF\xBB\xBF名次,会员名,等级", {.kind = Kind::WrongHeader}},
        {Table("1,a,2\r\n2,b\r\n"), {.kind = Kind::WrongFieldCount, .line = 3, .fields = 2}},
        {Table("1,\"a\r\nb\",2\r\n2,c,3,4\r\n"),
         {.kind = Kind::WrongFieldCount, .line = 4, .fields = 4}},
        {Table("1,a,2\r\n\r\n"), {.kind = Kind::WrongFieldCount, .line = 3, .fields = 1}},
        // Line feeds alone, as an editor may leave them, end rows too.
        {Table("1,a,2\n2,b,3\n3,c"), {.kind = Kind::WrongFieldCount, .line = 4, .fields = 2}},
        {Table("1,\"a,2\r\n"), {.kind = Kind::UnclosedQuote, .line = 2}},
    };
    for (const auto &c : cases) {
        TableReader reader(c.text);
        std::vector<std::string> fields;
        if (!reader.ReadHeader(ExportTableHeader))
            while (reader.Next(fields)) {
            }
        EXPECT_EQ(reader.Problem(), c.problem) << c.text;
    }
}

} // namespace
} // namespace kestrune
