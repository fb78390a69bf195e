#include "startup/startupmessages.h"
#include "tests/support/qtprint.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

using enum StartupError::Kind;
using Reason = SettingsWriteError::Reason;

const SettingMenu Menu{"论坛地址…", "CA 证书文件…", "重试次数…", "超时…", "结果文件夹…"};
const QString File = QStringLiteral("/s/k.conf");

// The lower layers' words kept out: English only in options, paths, example
// addresses and what the user typed.
bool HasEnglishOfItsOwn(const QString &text)
{
    static const QRegularExpression allowed(
        QStringLiteral(R"(“[^”]*”|--[a-z-]+|\S*[./:\\]\S*|\w+=|CA 证书|kestrune-cli)"));
    return QString(text).remove(allowed).contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

// Each problem, given or (`inFile`) stored, on both front ends: what happened,
// alike on both, then what to do there, with `option` or the menu's `item`.
TEST(StartupMessagesTest, EveryProblem)
{
    const struct
    {
        StartupError::Kind kind;
        bool inFile;
        const char *option;
        QString item{}; // none: the window says `option` too
        Reason reason{};
    } cases[] = {
        {BadHost, false, "--host", Menu.host},
        {BadStoredHost, true, "--host", Menu.host},
        {UnreadableCaFile, false, "--ca-file", Menu.caFile},
        {UnreadableStoredCaFile, true, "--ca-file", Menu.caFile},
        {CaFileWithoutCertificate, false, "--ca-file", Menu.caFile},
        {CaFileWithoutCertificate, true, "--remember", Menu.caFile},
        {RememberAlone, false, "--remember", Menu.host},
        {NotSaved, true, ""},
        {NotSaved, true, "", {}, Reason::BadFormat},
        {BadRetries, false, "--retries"},
        {BadStoredRetries, true, "--retries", Menu.retries},
        {BadTimeout, false, "--timeout"},
        {BadStoredTimeout, true, "--timeout", Menu.timeout},
        {BadFolder, false, "--folder", Menu.folder},
        {BadStoredFolder, true, "--folder", Menu.folder},
        {BadFirstNumber, false, "--number-from"},
    };
    for (const auto &c : cases) {
        const QString option = QString::fromUtf8(c.option);
        SCOPED_TRACE(static_cast<int>(c.kind));
        const StartupError error{.kind = c.kind,
                                 .value = "/s/ca.pem",
                                 .settingsFile = c.inFile ? File : QString(),
                                 .notSaved = c.reason};
        const UserMessage onCommandLine = DescribeStartupErrors({error});
        const UserMessage inWindow = DescribeStartupError(error, "xn--kfsr23j.example:80", Menu);
        for (const UserMessage &message : {onCommandLine, inWindow}) {
            EXPECT_EQ(message.text.count(u'\n'), 1);
            EXPECT_EQ(message.text.section(u'\n', 0, 0), onCommandLine.text.section(u'\n', 0, 0));
            EXPECT_FALSE(HasEnglishOfItsOwn(message.text)) << message.text.toStdString();
        }
        // The host the window uses meanwhile, as a user reads it.
        EXPECT_FALSE(inWindow.text.contains(u"xn--")) << inWindow.text.toStdString();
        EXPECT_TRUE(onCommandLine.text.section(u'\n', 1).contains(option))
            << onCommandLine.text.toStdString();
        EXPECT_TRUE(
            inWindow.text.section(u'\n', 1).contains(c.item.isEmpty() ? option : "“" + c.item))
            << inWindow.text.toStdString();
        // A problem with the settings file names it, as the system writes paths.
        EXPECT_EQ(
            (onCommandLine.text + onCommandLine.detail).contains(QDir::toNativeSeparators(File)),
            c.inFile);
    }
}

// Several problems: each named once, the settings file once.
TEST(StartupMessagesTest, SeveralAtOnce)
{
    const QList<StartupError> errors{
        {.kind = BadRetries, .value = "abc"},
        {.kind = BadStoredHost,
         .value = "a b",
         .hostProblem = HostProblem::NotAHost,
         .settingsFile = File},
        {.kind = BadStoredTimeout, .value = "99", .settingsFile = File}};
    for (const UserMessage &message :
         {DescribeStartupErrors(errors), DescribeStartupErrors(errors, "h", Menu)}) {
        EXPECT_TRUE(message.text.startsWith("有 3 项设置不能使用：\n1. "));
        for (const char *value : {"“abc”", "“a b”", "“99”"})
            EXPECT_EQ(message.text.count(QString::fromUtf8(value)), 1)
                << message.text.toStdString();
        EXPECT_EQ(message.detail.count(QDir::toNativeSeparators(File)), 1);
    }
}

// Only what was saved is listed, the host as a user reads it; an emptied
// host is the default again.
TEST(StartupMessagesTest, Saved)
{
    const QString ca = QDir::toNativeSeparators("/s/ca.pem");
    const ForumSettings saved{.host = "xn--kfsr23j.example", .caFile = "/s/ca.pem", .retries = "2"};
    const QString some = DescribeSaved({File, saved}).text;
    const QString results = DescribeSaved({File, {.folder = "/s/out", .table = "0"}}).text;
    const QString reset = DescribeSaved({File, {.host = "", .caFile = "", .folder = ""}}).text;
    EXPECT_TRUE(some.contains("论坛地址 论坛.example，CA 证书文件 " + ca + "，重试次数 2。"))
        << some.toStdString();
    EXPECT_TRUE(reset.contains("默认的 " KESTRUNE_DEFAULT_FORUM_HOST "，")) << reset.toStdString();
    EXPECT_TRUE(results.contains("结果文件夹 " + QDir::toNativeSeparators("/s/out") +
                                 "，不再同时保存表格。"))
        << results.toStdString();
    EXPECT_TRUE(reset.contains("当前文件夹")) << reset.toStdString();
    EXPECT_FALSE(HasEnglishOfItsOwn(some) || HasEnglishOfItsOwn(results) ||
                 HasEnglishOfItsOwn(reset));
}

} // namespace
} // namespace kestrune
