#include "engine/resume/resumefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

const ResumePoint Point{.forum = QStringLiteral("Henu"), .nextRank = 41, .toRank = 60};

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each save replaces the record whole and leaves nothing else behind.
TEST(ResumeFileTest, SavesWholeRecords)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ResumePoint later = Point;
    later.nextRank = 61;
    ASSERT_TRUE(SaveResumePoint(folder, Point));
    ASSERT_TRUE(SaveResumePoint(folder, later));
    EXPECT_EQ(LoadResumePoint(folder).point, later);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{ResumeFileName});
    ASSERT_TRUE(RemoveResumePoint(folder));
    EXPECT_FALSE(LoadResumePoint(folder).point || LoadResumePoint(folder).problem);
}

#ifndef _WIN32
// A link planted under the record's name is neither followed nor replaced.
TEST(ResumeFileTest, RefusesALinkInItsPlace)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString target = folder.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(Write(target, "mine"));
    ASSERT_TRUE(QFile::link(target, folder.filePath(QLatin1String(ResumeFileName))));
    EXPECT_FALSE(SaveResumePoint(folder, Point));
    EXPECT_EQ(Read(target), "mine");
    ASSERT_TRUE(LoadResumePoint(folder).problem);
    EXPECT_EQ(LoadResumePoint(folder).problem->kind, ResumeProblem::Kind::CannotRead);
}
#endif

// What a page cut short left past the record goes; a file shorter than the
// record says is left alone and told.
TEST(ResumeFileTest, TakesFilesBackToTheRecord)
{
    const struct
    {
        QByteArray results;
        QByteArray after;
        bool changed;
    } cases[] = {
        {"line\r\nhalf a li", "line\r\n", false},
        {"line\r\n", "line\r\n", false},
        {"lin", "lin", true},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        const QString results = folder.filePath(QStringLiteral("jieguo.txt"));
        ASSERT_TRUE(Write(results, c.results));
        ResumePoint point = Point;
        point.resultsSize = 6;
        const std::optional<ResumeProblem> problem = RestoreFiles(folder, point);
        EXPECT_EQ(problem && problem->kind == ResumeProblem::Kind::FilesChanged, c.changed);
        EXPECT_EQ(Read(results), c.after);
    }
}

} // namespace
} // namespace kestrune
