#include "engine/resume/resumefile.h"

#include "engine/write/exportfiles.h"
#include "platform/filedescriptor.h"
#include "platform/outputfile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <filesystem>

namespace kestrune {

namespace {

// Far beyond any point; a file past it is not one.
constexpr long long MaxResumeFileSize = 64LL * 1024;

std::filesystem::path PathOf(const QString &path)
{
    return {path.toStdU16String()};
}

QString ResumeFilePath(const QDir &folder)
{
    return folder.filePath(QLatin1String(ResumeFileName));
}

ResumeProblem Problem(ResumeProblem::Kind kind, const QDir &folder, std::string detail)
{
    return {.kind = kind, .path = ResumeFilePath(folder), .detail = std::move(detail)};
}

RuntimeError SaveError(const QString &path, const QString &reason)
{
    return FileError(PathOf(path), reason.toStdString());
}

// A file planted by someone else is refused, not followed.
bool IsRegularOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && (!info.exists() || info.isFile());
}

std::optional<ResumeProblem> CutBackTo(const QDir &folder, const QString &name, long long size)
{
    const std::filesystem::path path = PathOf(folder.filePath(name));
    Expected<OutputFile> file = OutputFile::Open(path, OutputFile::Mode::Append);
    const auto problem = [&](ResumeProblem::Kind kind, const std::string &why) {
        return Problem(kind, folder, name.toStdString() + why);
    };
    if (!file)
        return problem(ResumeProblem::Kind::CannotRead, "：" + file.Error().Detail());
    if (file->Size() < size)
        return problem(ResumeProblem::Kind::FilesChanged, " 只有 " + std::to_string(file->Size()) +
                                                              " 字节，应至少有 " +
                                                              std::to_string(size) + " 字节");
    Expected<> cut = file->Size() > size ? file->CutBackTo(size) : Expected<>();
    if (cut)
        cut = file->Close();
    if (!cut)
        return problem(ResumeProblem::Kind::CannotRead, "：" + cut.Error().Detail());
    return std::nullopt;
}

} // namespace

Expected<> SaveResumePoint(const QDir &folder, const ResumePoint &point)
{
    const QString path = ResumeFilePath(folder);
    if (!IsRegularOrMissing(path))
        return SaveError(path, QStringLiteral("不是普通文件"));
    QSaveFile file(path);
    const std::string text = FormatResumePoint(point);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit())
        return SaveError(path, file.errorString());
    return {};
}

ResumeLoad LoadResumePoint(const QDir &folder)
{
    const QString path = ResumeFilePath(folder);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
        return {};
    Expected<FileDescriptor> file =
        FileDescriptor::Open(PathOf(path), FileDescriptor::Access::Read);
    if (!file)
        return {.problem = Problem(ResumeProblem::Kind::CannotRead, folder, file.Error().Detail())};
    std::string text;
    std::array<char, 4096> buffer{};
    for (long long got = 0; (got = file->ReadSome(buffer.data(), buffer.size())) != 0;) {
        if (got < 0)
            return {.problem = Problem(ResumeProblem::Kind::CannotRead, folder, "读取失败")};
        text.append(buffer.data(), static_cast<std::size_t>(got));
        if (static_cast<long long>(text.size()) > MaxResumeFileSize)
            return {.problem = Problem(ResumeProblem::Kind::Damaged, folder, "文件过大")};
    }
    auto parsed = ParseResumePoint(text);
    if (auto *problem = std::get_if<ResumeTextProblem>(&parsed))
        return {.problem = Problem(problem->newerVersion ? ResumeProblem::Kind::NewerVersion
                                                         : ResumeProblem::Kind::Damaged,
                                   folder, problem->detail)};
    return {.point = std::get<ResumePoint>(std::move(parsed))};
}

Expected<> RemoveResumePoint(const QDir &folder)
{
    std::error_code error;
    std::filesystem::remove(PathOf(ResumeFilePath(folder)), error);
    if (error)
        return SaveError(ResumeFilePath(folder), QString::fromStdString(error.message()));
    return {};
}

std::optional<ResumeProblem> RestoreFiles(const QDir &folder, const ResumePoint &point)
{
    if (auto problem = CutBackTo(folder, QLatin1String(ResultsFileName), point.resultsSize))
        return problem;
    if (!point.table.isEmpty())
        return CutBackTo(folder, point.table, point.tableSize);
    return std::nullopt;
}

} // namespace kestrune
