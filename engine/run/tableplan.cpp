#include "engine/run/tableplan.h"

#include <QFileInfo>
#include <string_view>

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

std::optional<TablePlan> PlanTable(bool on, const QDir &directory,
                                   const std::optional<QString> &continued,
                                   const QString &forumName, std::int64_t startWallMs,
                                   std::int64_t fromRank, std::int64_t toRank)
{
    // A run continued keeps its own table, or its lack of one.
    if (continued ? continued->isEmpty() : !on)
        return std::nullopt;
    const QString path =
        continued ? directory.absoluteFilePath(*continued)
                  : NewTablePath(directory, forumName, QDateTime::fromMSecsSinceEpoch(startWallMs));
    return TablePlan{.path = std::filesystem::path(path.toStdU16String()),
                     .fromRank = fromRank,
                     .toRank = toRank};
}

} // namespace kestrune
