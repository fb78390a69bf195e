// A page reaches every result file or none of them.
#include "engine/commit/pagecommit.h"
#include "engine/commit/runtally.h"
#include "engine/commit/tablewriter.h"
#include "engine/write/resultswriter.h"
#include "tests/support/diskfull.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kestrune {
namespace {

// A ranking page: each member's name, then a value that leaves the last
// line open when `openEnd`.
std::string Page(const std::vector<std::string> &names, bool openEnd = false)
{
    std::string page;
    for (std::size_t at = 0; at < names.size(); ++at) {
        page += "username=x>" + names[at] + "</a>" + std::string(50, ' ');
        if (!openEnd || at + 1 < names.size())
            page += "l_item_ex\">lv-item" + std::to_string(at + 1) + "<" + std::string(20, ' ');
    }
    return page;
}

std::string Bytes(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class PageCommitTest : public testing::TestWithParam<const char *>
{};

INSTANTIATE_TEST_SUITE_P(FullFile, PageCommitTest, testing::Values("b.txt", "t.csv"));

TEST_P(PageCommitTest, APageThatFailsInOneFileIsTakenBackFromAll)
{
    const QTemporaryDir directory;
    const std::filesystem::path dir(directory.path().toStdU16String());
    DiskFull diskFull(GetParam());
    ScannerState scanner;
    ResultsWriter first(dir / "a.txt", &diskFull);
    ResultsWriter second(dir / "b.txt", &diskFull);
    TableWriter table(dir / "t.csv", &diskFull, 1, 60);
    ASSERT_TRUE(table.Prepare());
    RunTally tally;
    tally.Start(1, 3, 0);
    PageCommit commit(dir / "temp.txt", &diskFull, scanner, {&first, &table, &second, &tally});

    const auto commitPage = [&](std::int64_t page, const std::string &body) {
        EXPECT_TRUE(commit.StorePage(body));
        return commit.CommitPage(page, std::nullopt, false, {});
    };
    // The first page leaves its last line open, so taking back the second
    // must also reopen it.
    EXPECT_EQ(commitPage(1, Page({"ab", "cd"}, true)).names, 2);
    const std::string afterFirst = Bytes(dir / "a.txt");
    const std::string tableAfterFirst = Bytes(dir / "t.csv");
    ASSERT_EQ(afterFirst, Bytes(dir / "b.txt"));

    diskFull.full = true;
    const PageResult failed = commitPage(2, Page({"ef", "gh", "ij"}));
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->Fault(), FileFault::DiskFull);
    EXPECT_EQ(failed.names, 0);
    EXPECT_EQ(Bytes(dir / "a.txt"), afterFirst);
    EXPECT_EQ(Bytes(dir / "b.txt"), afterFirst);
    EXPECT_EQ(Bytes(dir / "t.csv"), tableAfterFirst);
    EXPECT_EQ(scanner.RankCounter, 2);

    diskFull.full = false;
    EXPECT_EQ(commitPage(2, Page({"ef", "gh", "ij"})).names, 3);
    ASSERT_TRUE(commit.EndRun());
    // The open line runs on into the next page, as in an uninterrupted run.
    const std::string expected = " 1     ab               1\r\n"
                                 " 2     cd                3     ef               1\r\n"
                                 " 4     gh               2\r\n"
                                 " 5     ij               3\r\n";
    EXPECT_EQ(Bytes(dir / "a.txt"), expected);
    EXPECT_EQ(Bytes(dir / "b.txt"), expected);
    EXPECT_EQ(Bytes(dir / "t.csv"), "\xEF\xBB\xBF名次,会员名,等级\r\n1,ab,1\r\n2,cd,\r\n"
                                    "21,ef,1\r\n22,gh,2\r\n23,ij,3\r\n");
    EXPECT_EQ(commit.PagesDone(), 2);
    EXPECT_EQ(tally.Report(0, {}).names, 5);
}

} // namespace
} // namespace kestrune
