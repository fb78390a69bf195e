// Two exports' tables matched by name, as the window and kestrune-cli see them.
#include "compare/comparetablewords.h"
#include "compare/comparison.h"
#include "compare/comparisonorder.h"
#include "compare/comparisontable.h"
#include "compare/summarywords.h"
#include "tables/tableformat.h"
#include "tables/tablereader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrune {
namespace {

struct Member
{
    std::int64_t rank;
    std::string name;
    std::string level = "1";
};

std::string TableText(const std::vector<Member> &members)
{
    std::string text = std::string(ByteOrderMark) + std::string(ExportTableHeader) + "\r\n";
    for (const Member &member : members)
        text += TableRow().Number(member.rank).Text(member.name).Text(member.level).Finish();
    return text;
}

std::shared_ptr<const ExportTable> Read(const std::vector<Member> &members)
{
    TableReading reading = ReadExportTable(TableText(members));
    return std::make_shared<const ExportTable>(std::move(std::get<ExportTable>(reading)));
}

// A row as "name change older→newer (rank change)".
std::vector<std::string> Rows(const Comparison &comparison)
{
    std::vector<std::string> rows;
    const auto rank = [](std::optional<std::int64_t> r) {
        return r ? std::to_string(*r) : std::string("-");
    };
    for (std::size_t i = 0; i < comparison.Size(); ++i)
        rows.push_back(std::string(comparison.Name(i)) + " " +
                       std::string(ChangeName(comparison.At(i).change)) + " " +
                       rank(comparison.OlderRank(i)) + ">" + rank(comparison.NewerRank(i)) + " " +
                       rank(comparison.RankChange(i)));
    return rows;
}

TEST(CompareTest, TellsWhatBecameOfEachMember)
{
    const struct
    {
        const char *what;
        std::vector<Member> older;
        std::vector<Member> newer;
        std::vector<std::string> rows;
        std::string changes;
    } cases[] = {
        {"every kind",
         {{1, "甲"}, {2, "乙"}, {3, "丙"}, {4, "丁"}},
         {{1, "乙"}, {2, "甲"}, {3, "丙"}, {4, "戊"}},
         {"乙 上升 2>1 1", "甲 下降 1>2 -1", "丙 不变 3>3 0", "戊 新进 ->4 -", "丁 跌出 4>- -"},
         "新进 1 人，跌出 1 人，上升 1 人，下降 1 人，不变 1 人"},
        // 1–4 against 1–2: only ranks 1–2 can say who is new or gone.
        {"ranges differ",
         {{1, "甲"}, {2, "乙"}, {3, "丙"}, {4, "丁"}},
         {{1, "丁"}, {2, "戊"}},
         {"丁 上升 4>1 3", "戊 新进 ->2 -", "甲 跌出 1>- -", "乙 跌出 2>- -", "丙 范围外 3>- -"},
         "新进 1 人，跌出 2 人，上升 1 人，下降 0 人，不变 0 人"},
        {"newer reaches further",
         {{1, "甲"}},
         {{1, "甲"}, {2, "乙"}},
         {"甲 不变 1>1 0", "乙 范围外 ->2 -"},
         "新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 1 人"},
        // First with first, second with second; the third is new.
        {"repeated names",
         {{1, "同名"}, {2, "甲"}, {3, "同名"}},
         {{1, "同名"}, {2, "同名"}, {3, "同名"}},
         {"同名 不变 1>1 0", "同名 上升 3>2 1", "同名 新进 ->3 -", "甲 跌出 2>- -"},
         "新进 1 人，跌出 1 人，上升 1 人，下降 0 人，不变 1 人"},
        {"names differ only in quoting and guard",
         {{1, "=A1"}, {2, "a,b"}, {3, "say \"x\""}},
         {{1, "say \"x\""}, {2, "=A1"}, {3, "a,b"}},
         {"say \"x\" 上升 3>1 2", "=A1 下降 1>2 -1", "a,b 下降 2>3 -1"},
         "新进 0 人，跌出 0 人，上升 1 人，下降 2 人，不变 0 人"},
        {"an empty older table",
         {},
         {{1, "甲"}},
         {"甲 范围外 ->1 -"},
         "新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 0 人"},
    };
    for (const auto &c : cases) {
        const std::optional<Comparison> comparison = Compare(Read(c.older), Read(c.newer));
        ASSERT_TRUE(comparison) << c.what;
        EXPECT_EQ(Rows(*comparison), c.rows) << c.what;
        EXPECT_EQ(DescribeChanges(comparison->Summary()).toStdString(), c.changes) << c.what;
    }
}

TEST(CompareTest, SummaryNotesWhatTheCountsLeaveOut)
{
    const struct
    {
        const char *what;
        std::vector<Member> older;
        std::vector<Member> newer;
        ComparedFiles files;
        std::vector<std::string> lines;
    } cases[] = {
        {"same forum, nothing else",
         {{1, "甲"}},
         {{1, "甲"}},
         {"Henu_20261201-100000.csv", "Henu_20261208-100000_2.csv"},
         {"新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 1 人"}},
        {"two forums, said first",
         {{1, "甲"}},
         {{1, "甲"}},
         {"d/Henu_20261201-100000.csv", "d/河大_20261208-100000.csv"},
         {"注意：两张表格是不同论坛的，旧的是 Henu，新的是 河大。",
          "新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 1 人"}},
        {"names not an export's",
         {{1, "甲"}},
         {{1, "甲"}},
         {"old.csv", "Henu_20261208-100000.csv"},
         {"新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 1 人"}},
        {"levels, outside, repeated",
         {{1, "甲", "3"}, {2, "乙", "5"}, {3, "丙", "7"}, {4, "丙", "1"}, {5, "戊", "x"}},
         {{1, "甲", "5"}, {2, "乙", "6"}, {3, "丙", "6"}, {4, "丁", "9"}},
         {"a", "b"},
         {"新进 1 人，跌出 1 人，上升 0 人，下降 0 人，不变 3 人",
          "另有 1 人只在一张表格里，名次却在两张共同的范围（第 1—4 名）之外，没有算作新进或跌出。",
          "等级升高 2 人，共升 3 级；等级降低 1 人。",
          "1 个会员名在一张表格里出现了不止一次，已按出现的先后一一对应。"}},
        {"ranges apart",
         {{1, "甲"}},
         {{21, "乙"}},
         {"a", "b"},
         {"新进 0 人，跌出 0 人，上升 0 人，下降 0 人，不变 0 人",
          "两张表格的名次范围不重叠，2 人只在其中一张里，没有算作新进或跌出。"}},
    };
    for (const auto &c : cases) {
        const std::optional<Comparison> comparison = Compare(Read(c.older), Read(c.newer));
        ASSERT_TRUE(comparison) << c.what;
        std::vector<std::string> lines;
        for (const QString &line : DescribeComparison(comparison->Summary(), c.files))
            lines.push_back(line.toStdString());
        EXPECT_EQ(lines, c.lines) << c.what;
    }
}

TEST(CompareTest, OrdersRowsByEveryColumn)
{
    // Names alike in their first eight bytes, a tie in the new rank's
    // absence, levels that are not numbers.
    const auto comparison = Compare(
        Read({{1, "会员名甲", "3"}, {2, "会员名乙", "x"}, {3, "会员名丙", "9"}, {4, "b", "-2"}}),
        Read({{1, "会员名丙", "9"}, {2, "b", "1"}, {3, "会员名甲", "4"}, {4, "a", "4"}}));
    ASSERT_TRUE(comparison);
    const auto names = [&comparison](RowOrder order, bool descending) {
        std::string names;
        for (const std::uint32_t row : OrderedRows(*comparison, order, descending))
            names += std::string(comparison->Name(row)) + " ";
        return names;
    };
    const struct
    {
        RowOrder order;
        bool descending;
        std::string names;
    } cases[] = {
        {RowOrder::Name, false, "a b 会员名丙 会员名乙 会员名甲 "},
        {RowOrder::Name, true, "会员名甲 会员名乙 会员名丙 b a "},
        {RowOrder::OlderRank, false, "会员名甲 会员名乙 会员名丙 b a "},
        {RowOrder::OlderRank, true, "b 会员名丙 会员名乙 会员名甲 a "},
        {RowOrder::NewerRank, true, "a 会员名甲 b 会员名丙 会员名乙 "},
        {RowOrder::Change, false, "会员名丙 b 会员名甲 a 会员名乙 "},
        {RowOrder::Change, true, "会员名甲 会员名丙 b a 会员名乙 "},
        {RowOrder::OlderLevel, false, "b 会员名甲 会员名丙 a 会员名乙 "},
        {RowOrder::NewerLevel, true, "会员名丙 会员名甲 a b 会员名乙 "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(names(c.order, c.descending), c.names)
            << static_cast<int>(c.order) << c.descending;
}

TEST(CompareTest, ComparisonTableReadsBackAsWritten)
{
    const auto comparison =
        Compare(Read({{1, "=HYPERLINK(\"x\")", "2"}, {2, "-1", "3"}, {3, "@x", "-4"}}),
                Read({{1, "-1", "3"}, {2, "=HYPERLINK(\"x\")", "2"}, {3, "+新", ""}}));
    ASSERT_TRUE(comparison);
    std::string text;
    ASSERT_TRUE(WriteComparisonTable(*comparison, [&text](std::string_view block) {
        text += block;
        return true;
    }));
    EXPECT_EQ(text, "\xEF\xBB\xBF会员名,旧名次,新名次,变化,旧等级,新等级,类别\r\n"
                    "'-1,2,1,1,3,3,上升\r\n"
                    "\"'=HYPERLINK(\"\"x\"\")\",1,2,-1,2,2,下降\r\n"
                    "'+新,,3,,,,新进\r\n"
                    "'@x,3,,,'-4,,跌出\r\n");
    TableReader reader(text);
    ASSERT_EQ(reader.ReadHeader(ComparisonTableHeader), std::nullopt);
    std::vector<std::string> names;
    for (std::vector<std::string> fields; reader.Next(fields);)
        names.push_back(fields[0]);
    EXPECT_EQ(names, (std::vector<std::string>{"-1", "=HYPERLINK(\"x\")", "+新", "@x"}));
    // A writer that fails stops the rest.
    EXPECT_FALSE(WriteComparisonTable(*comparison, [](std::string_view) { return false; }));
}

TEST(CompareTest, MalformedTablesAreNamedWithLineAndFault)
{
    const std::string header = std::string(ByteOrderMark) + std::string(ExportTableHeader) + "\r\n";
    const struct
    {
        std::string text;
        std::string message;
    } cases[] = {
        {"名次,会员名,等级\r\n1,a,2\r\n", "第 1 行：文件开头没有 UTF-8 的字节顺序标记（BOM）。"},
        {"\xEF\xBB\xBF会员名,旧名次,新名次,变化,旧等级,新等级,类别\r\n",
         "第 1 行：表头应为“名次,会员名,等级”。"},
        {header + "1,a,2\r\nx,b,3\r\n", "第 3 行：名次不是大于 0 的整数。"},
        {header + "1,a,2\r\n0,b,3\r\n", "第 3 行：名次不是大于 0 的整数。"},
        {header + "1,a,2\r\n2.5,b,3\r\n", "第 3 行：名次不是大于 0 的整数。"},
        {header + "1,a,2\r\n2,b\r\n", "第 3 行：有 2 项，应为 3 项。"},
        {header + "1,a,2,4\r\n", "第 2 行：有 4 项，应为 3 项。"},
        {header + "1,\"a,2\r\n", "第 2 行：引号到文件末尾也没有结束。"},
    };
    for (const auto &c : cases) {
        const TableReading reading = ReadExportTable(c.text);
        ASSERT_TRUE(std::holds_alternative<TableProblem>(reading)) << c.text;
        const UserMessage message =
            DescribeTableProblem(QStringLiteral("t.csv"), std::get<TableProblem>(reading));
        EXPECT_EQ(message.text.toStdString(),
                  "表格“t.csv”不能比较：" + c.message +
                      "\n只能比较本程序导出的表格，而且导出后不能被别的程序另存过。")
            << c.text;
    }
}

TEST(CompareTest, StopsWhenAsked)
{
    std::vector<Member> members;
    for (std::int64_t rank = 1; rank <= 100'000; ++rank)
        members.push_back({rank, "m" + std::to_string(rank)});
    const std::string text = TableText(members);
    std::size_t reports = 0;
    const TableReading reading = ReadExportTable(
        text, [&reports](std::size_t done, std::size_t) { return done > 0 && ++reports < 2; });
    EXPECT_TRUE(std::holds_alternative<ReadStopped>(reading));
    EXPECT_EQ(reports, 2U);
    const auto table = std::make_shared<const ExportTable>(
        std::move(std::get<ExportTable>(ReadExportTable(text))));
    EXPECT_FALSE(Compare(table, table, [] { return true; }));
}

} // namespace
} // namespace kestrune
