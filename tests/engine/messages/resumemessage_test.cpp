#include "engine/messages/resumemessage.h"
#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

const ResumePoint Henu{.forum = QStringLiteral("Henu"), .nextRank = 741, .toRank = 2000};

TEST(ResumeMessageTest, SaysWhereTheRunCarriesOn)
{
    const struct
    {
        UserMessage message;
        const char *text;
    } cases[] = {
        {DescribeQuitQuestion(1, 37, 741),
         "导出还没有完成（已完成第 1—37 页）。现在退出，下次可以从第 741 名继续。"},
        {DescribeQuitQuestion(5, 0, 81),
         "导出还没有完成（还没有完成任何一页）。现在退出，下次可以从第 81 名继续。"},
        {DescribeResumeOffer(Henu, QStringLiteral("/r")),
         "上次的导出没有完成：Henu，第 741—2000 名。要接着导出吗？"},
        {DescribeDropResumeQuestion(Henu),
         "不再接着上次的导出（Henu，第 741—2000 名）了吗？\n"
         "放弃后就不能从第 741 名接着导出了；jieguo.txt 和表格里已有的内容不会变。"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.message.text, QString::fromUtf8(c.text));
}

// Each record that cannot be used says why first, then where it stays.
TEST(ResumeMessageTest, NamesTheRecordThatCannotBeUsed)
{
    using Kind = ResumeProblem::Kind;
    const struct
    {
        Kind kind;
        const char *why;
    } cases[] = {
        {Kind::CannotRead, "上次导出留下的续传记录读不出来"},
        {Kind::Damaged, "上次导出留下的续传记录已损坏（不完整或被改动过）"},
        {Kind::NewerVersion, "上次导出留下的续传记录是较新版本的 Kestrune 写的，这个版本读不了"},
        {Kind::FolderBusy, "另一个 Kestrune 正在这个文件夹里导出，续传记录是它的"},
        {Kind::FilesChanged, "上次导出停下以后，jieguo.txt 或表格变短了，不能接着导出"},
    };
    for (const auto &c : cases) {
        const UserMessage message = DescribeResumeProblem(
            {.kind = c.kind, .path = QStringLiteral("/r/kestrune.resume"), .detail = "第 3 行"});
        EXPECT_TRUE(message.text.startsWith(QString::fromUtf8(c.why) + QStringLiteral("，")))
            << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(QStringLiteral("kestrune.resume")));
        EXPECT_EQ(message.detail, QStringLiteral("第 3 行"));
    }
}

} // namespace
} // namespace kestrune
