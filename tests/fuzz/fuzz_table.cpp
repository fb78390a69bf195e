// A table to compare is a file anyone may have edited: whatever it holds,
// reading it never fails hard; a table that reads compares with itself as
// unchanged throughout, and its comparison's table reads back with every name.
#include "compare/comparison.h"
#include "compare/comparisontable.h"
#include "compare/exporttable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kestrune;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TableReading reading = ReadExportTable(text);
    auto *read = std::get_if<ExportTable>(&reading);
    if (!read)
        return 0;
    const auto table = std::make_shared<const ExportTable>(std::move(*read));
    const std::optional<Comparison> same = Compare(table, table);
    if (!same || same->Size() != table->Size() ||
        same->Summary().Count(Change::Same) != static_cast<std::int64_t>(table->Size()))
        std::abort();
    std::string written;
    (void)WriteComparisonTable(*same, [&written](std::string_view block) {
        written += block;
        return true;
    });
    TableReader reader(written);
    if (reader.ReadHeader(ComparisonTableHeader))
        std::abort();
    std::vector<std::string> fields;
    for (std::size_t row = 0; row < table->Size(); ++row)
        if (!reader.Next(fields) || fields[0] != same->Name(row))
            std::abort();
    if (reader.Next(fields) || reader.Problem())
        std::abort();
    return 0;
}
