// Two exports' tables compared: reading one, matching two read ones, the
// whole job as `kestrune-cli --compare` does it, and writing the comparison's
// table, on generated tables of 100,000 and 1,000,000 members.
#include "compare/comparison.h"
#include "compare/comparisonorder.h"
#include "compare/comparisontable.h"
#include "compare/exporttable.h"
#include "tablegenerator.h"

#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kestrune {
namespace {

const GeneratedTables &Tables(std::size_t members)
{
    static std::map<std::size_t, GeneratedTables> made;
    auto found = made.find(members);
    if (found == made.end())
        found = made.emplace(members, GenerateExportTables(members)).first;
    return found->second;
}

std::shared_ptr<const ExportTable> Read(const std::string &text)
{
    TableReading reading = ReadExportTable(text);
    if (auto *table = std::get_if<ExportTable>(&reading))
        return std::make_shared<const ExportTable>(std::move(*table));
    return nullptr;
}

std::size_t Members(const benchmark::State &bench)
{
    return static_cast<std::size_t>(bench.range(0));
}

// Items: the table's rows.
void BM_ReadExportTable(benchmark::State &bench)
{
    const std::string &text = Tables(Members(bench)).older;
    std::size_t rows = 0;
    for (auto _ : bench) {
        TableReading reading = ReadExportTable(text);
        const auto *table = std::get_if<ExportTable>(&reading);
        if (table == nullptr) {
            bench.SkipWithError("the table does not read");
            return;
        }
        rows = table->Size();
        benchmark::DoNotOptimize(reading);
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * rows));
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

// Items: both tables' rows.
void BM_Compare(benchmark::State &bench)
{
    const GeneratedTables &tables = Tables(Members(bench));
    const std::shared_ptr<const ExportTable> older = Read(tables.older);
    const std::shared_ptr<const ExportTable> newer = Read(tables.newer);
    if (!older || !newer) {
        bench.SkipWithError("the tables do not read");
        return;
    }
    std::size_t rows = 0;
    for (auto _ : bench) {
        const std::optional<Comparison> comparison = Compare(older, newer);
        rows = comparison->Size();
        benchmark::DoNotOptimize(comparison->Summary());
    }
    bench.SetItemsProcessed(
        static_cast<std::int64_t>(bench.iterations() * (older->Size() + newer->Size())));
    bench.counters["rows"] = static_cast<double>(rows);
}

// Both tables read, then compared, as the command line does once it holds
// the files' bytes. Items: both tables' rows.
void BM_ReadAndCompare(benchmark::State &bench)
{
    const GeneratedTables &tables = Tables(Members(bench));
    std::size_t members = 0;
    for (auto _ : bench) {
        std::shared_ptr<const ExportTable> older = Read(tables.older);
        std::shared_ptr<const ExportTable> newer = Read(tables.newer);
        if (!older || !newer) {
            bench.SkipWithError("the tables do not read");
            return;
        }
        members = older->Size() + newer->Size();
        const std::optional<Comparison> comparison = Compare(std::move(older), std::move(newer));
        benchmark::DoNotOptimize(comparison->Summary());
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * members));
}

// The comparison's table into a string, as SaveComparisonTable hands it to
// its file. Items: the comparison's rows.
void BM_WriteComparisonTable(benchmark::State &bench)
{
    const GeneratedTables &tables = Tables(Members(bench));
    const std::optional<Comparison> comparison = Compare(Read(tables.older), Read(tables.newer));
    std::string sink;
    for (auto _ : bench) {
        sink.clear();
        const bool written = WriteComparisonTable(*comparison, [&sink](std::string_view block) {
            sink.append(block);
            return true;
        });
        if (!written) {
            bench.SkipWithError("the table was not written");
            return;
        }
        benchmark::DoNotOptimize(sink.data());
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * comparison->Size()));
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * sink.size()));
}

// The window's sort of a million rows, by name and by change, the two
// costliest keys. Items: the comparison's rows.
void BM_OrderedRows(benchmark::State &bench)
{
    const GeneratedTables &tables = Tables(1'000'000);
    const std::optional<Comparison> comparison = Compare(Read(tables.older), Read(tables.newer));
    const auto order = static_cast<RowOrder>(bench.range(0));
    for (auto _ : bench)
        benchmark::DoNotOptimize(OrderedRows(*comparison, order, false));
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * comparison->Size()));
}

BENCHMARK(BM_ReadExportTable)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndCompare)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteComparisonTable)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderedRows)
    ->Arg(static_cast<int>(RowOrder::Name))
    ->Arg(static_cast<int>(RowOrder::Change))
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrune
