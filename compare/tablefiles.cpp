#include "compare/tablefiles.h"

#include "compare/comparetablewords.h"
#include "compare/comparisontable.h"
#include "platform/textchannel.h"
#include "tables/tableformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrune {

namespace {

std::filesystem::path FilePath(const QString &path)
{
    return {path.toStdU16String()};
}

bool IsExportTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(64);
    const std::string_view text(start.constData(), static_cast<std::size_t>(start.size()));
    return text.starts_with(std::string(ByteOrderMark) + std::string(ExportTableHeader));
}

} // namespace

TableLoad LoadExportTable(const QString &path, const ReadProgress &progress)
{
    if (QFileInfo(path).size() > MaxTableBytes)
        return {.problem = DescribeTableTooLarge(path)};
    // A link the user picked is followed on purpose; the file itself must
    // still be a regular one, never a FIFO that would block.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    Expected<InputChannel> file =
        InputChannel::Open(FilePath(canonical.isEmpty() ? path : canonical), MaxTableBytes);
    if (!file)
        return {.problem = DescribeTableUnreadable(path, file.Error())};
    TableReading reading = ReadExportTable(file->Bytes(), progress);
    if (auto *table = std::get_if<ExportTable>(&reading))
        return {.table = std::make_shared<const ExportTable>(std::move(*table))};
    if (const auto *problem = std::get_if<TableProblem>(&reading))
        return {.problem = DescribeTableProblem(path, *problem)};
    return {};
}

std::optional<UserMessage> SaveComparisonTable(const QString &path, const Comparison &comparison)
{
    const QFileInfo target(path);
    if (target.isSymLink() || (target.exists() && !target.isFile()))
        return DescribeNotAFile(path);
    if (target.exists() && IsExportTable(path))
        return DescribeWouldOverwriteExport(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return DescribeSaveFailed(path, file.errorString());
    const bool written = WriteComparisonTable(comparison, [&file](std::string_view block) {
        return file.write(block.data(), static_cast<qint64>(block.size())) ==
               static_cast<qint64>(block.size());
    });
    if (!written || !file.commit())
        return DescribeSaveFailed(path, file.errorString());
    return std::nullopt;
}

} // namespace kestrune
