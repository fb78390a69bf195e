#include "engine/commit/tablewriter.h"

#include "engine/write/pagerange.h"
#include "platform/cp936.h"
#include "tables/tableformat.h"

#include <algorithm>

namespace kestrune {

namespace {

// UTF-8 of code page 936 bytes; `undecodable` when some had no character.
std::string Utf8Of(std::string_view gbk, bool &undecodable)
{
    // Levels and many names are ASCII, the same in both.
    if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(gbk);
    const QString text =
        DecodeCp936(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
    undecodable = undecodable || text.contains(QChar::ReplacementCharacter);
    const QByteArray utf8 = text.toUtf8();
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

std::string Header()
{
    return std::string(ByteOrderMark) + std::string(ExportTableHeader) + std::string(TableLineEnd);
}

// Up to `size` bytes from the start of a file, opened as our files are.
Expected<std::string> ReadStart(const std::filesystem::path &path, std::size_t size)
{
    Expected<FileDescriptor> file = FileDescriptor::Open(path, FileDescriptor::Access::Read);
    if (!file)
        return file.Error();
    std::string start(size, '\0');
    std::size_t got = 0;
    for (long long read = 1; got < size && read > 0; got += static_cast<std::size_t>(read))
        read = std::max(file->ReadSome(start.data() + got, size - got), 0LL);
    start.resize(got);
    return start;
}

} // namespace

TableWriter::TableWriter(std::filesystem::path path, WriteFault *fault, std::int64_t fromRank,
                         std::int64_t toRank)
    : fault_(fault)
    , summary_{.path = std::move(path), .fromRank = fromRank, .toRank = toRank}
{}

Expected<> TableWriter::Prepare()
{
    const std::string header = Header();
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(summary_.path, error))) {
        const Expected<std::string> start = ReadStart(summary_.path, header.size());
        if (!start)
            return start.Error();
        if (!start->empty()) {
            // Not a file error: the file is fine, only not ours to continue.
            if (*start != header)
                return RuntimeError(ErrorKind::InvalidArgument,
                                    "第一行不是“" + std::string(ExportTableHeader) + "”");
            return {};
        }
    }
    Expected<OutputFile> file = OutputFile::Open(summary_.path, OutputFile::Mode::Append, fault_);
    if (!file)
        return file.Error();
    if (Expected<> written = file->Write(header); !written)
        return written;
    return file->Close();
}

void TableWriter::StartPage(std::int64_t page)
{
    page_ = page;
    place_ = 0;
    lastNameKept_ = false;
    undecodableOnPage_ = 0;
    rows_.clear();
}

void TableWriter::Name(std::int64_t, std::string_view name)
{
    const std::int64_t rank = RankOnPage(page_, ++place_);
    lastNameKept_ = rank >= summary_.fromRank && rank <= summary_.toRank;
    if (lastNameKept_)
        rows_.push_back({.rank = rank, .name = std::string(name)});
}

void TableWriter::Value(std::string_view value)
{
    // The first value after a name is its level; one before any name, or a
    // second one, has no row.
    if (lastNameKept_ && !rows_.back().value)
        rows_.back().value = std::string(value);
}

Expected<> TableWriter::WritePage()
{
    if (rows_.empty())
        return {};
    std::string lines;
    for (const Row &row : rows_) {
        bool undecodable = false;
        const std::string name = Utf8Of(row.name, undecodable);
        undecodableOnPage_ += undecodable ? 1 : 0;
        bool ignored = false;
        lines += TableRow()
                     .Number(row.rank)
                     .Text(name)
                     .Text(row.value ? Utf8Of(*row.value, ignored) : std::string())
                     .Finish();
    }
    Expected<OutputFile> file = OutputFile::Open(summary_.path, OutputFile::Mode::Append, fault_);
    if (!file)
        return file.Error();
    sizeBefore_ = file->Size();
    if (Expected<> written = file->Write(lines); !written)
        return written;
    file_.emplace(std::move(*file));
    return {};
}

void TableWriter::TakeBackPage()
{
    if (file_) {
        (void)file_->CutBackTo(sizeBefore_);
        (void)file_->Close();
        file_.reset();
    }
    rows_.clear();
}

Expected<> TableWriter::KeepPage()
{
    summary_.rows += static_cast<std::int64_t>(rows_.size());
    summary_.undecodableNames += undecodableOnPage_;
    rows_.clear();
    if (!file_)
        return {};
    Expected<> closed = file_->Close();
    file_.reset();
    return closed;
}

} // namespace kestrune
