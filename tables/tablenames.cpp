#include "tables/tablenames.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace kestrune {

namespace {

// Room for the time and a counter within the 255 bytes most file systems
// allow, at three bytes a Chinese character.
constexpr qsizetype MaxForumCharacters = 60;

QString FileNamePart(const QString &forumName)
{
    QString part;
    for (const char32_t c : forumName.toUcs4()) {
        if (part.size() >= MaxForumCharacters)
            break;
        const bool forbidden =
            c < 0x20 || c == 0x7F ||
            (c < 0x80 && QStringView(u"\\/:*?\"<>|").contains(QChar(char16_t(c))));
        part += forbidden ? QStringLiteral("_") : QString::fromUcs4(&c, 1);
    }
    return part.isEmpty() ? QStringLiteral("_") : part;
}

const QRegularExpression &TableNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)_(\\d{8}-\\d{6})(?:_(\\d{1,9}))?\\.csv$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

} // namespace

QString TableFileName(const QString &forumName, const QDateTime &start)
{
    return FileNamePart(forumName) + QLatin1Char('_') +
           start.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".csv");
}

QString NewTablePath(const QDir &directory, const QString &forumName, const QDateTime &start)
{
    const QString name = TableFileName(forumName, start);
    QString path = directory.absoluteFilePath(name);
    for (int copy = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++copy)
        path = directory.absoluteFilePath(name.chopped(4) + QStringLiteral("_%1.csv").arg(copy));
    return path;
}

std::optional<QString> ForumOfTableFile(const QString &fileName)
{
    const QRegularExpressionMatch match = TableNamePattern().match(fileName);
    return match.hasMatch() ? std::optional(match.captured(1)) : std::nullopt;
}

QStringList ForumTables(const QDir &directory, const QString &forumName)
{
    struct Found
    {
        QString time;
        int copy;
        QString path;
    };
    const QString forum = FileNamePart(forumName);
    std::vector<Found> found;
    const QStringList names =
        directory.entryList({QStringLiteral("*.csv")}, QDir::Files | QDir::Readable);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = TableNamePattern().match(name);
        if (match.hasMatch() && match.captured(1) == forum)
            found.push_back({match.captured(2),
                             match.captured(3).isEmpty() ? 1 : match.captured(3).toInt(),
                             directory.absoluteFilePath(name)});
    }
    std::ranges::sort(found, [](const Found &a, const Found &b) {
        return std::tie(a.time, a.copy) < std::tie(b.time, b.copy);
    });
    QStringList paths;
    for (const Found &table : found)
        paths << table.path;
    return paths;
}

} // namespace kestrune
