// Scan speed of the fast scanner and of the reference scanner over a real
// sample-forum page and a large generated one.
#include "engine/write/pagescanner.h"
#include "engine/write/resultswriter.h"
#include "pagegenerator.h"
#include "platform/textchannel.h"
#include "tests/support/referencescanner.h"
#include "tools/sampleforum/sampleforum.h"

#include <benchmark/benchmark.h>
#include <string>

namespace kestrune {
namespace {

std::string SamplePage()
{
    const SampleForum forum;
    const QByteArray body = forum.PageBody(QByteArrayLiteral("Henu"), 1);
    return std::string(body.constData(), static_cast<std::size_t>(body.size())) + "\r\n";
}

const std::string &Page(bool large)
{
    static const std::string sample = SamplePage();
    static const std::string generated = GeneratedPage(std::size_t{4} << 20);
    return large ? generated : sample;
}

// The channel is built once and rewound, so the timed loop holds the scan and
// the results lines only.
void TimeScan(benchmark::State &bench, ScanFunction scan, bool large)
{
    InputChannel page(Page(large));
    std::int64_t names = 0;
    for (auto _ : bench) {
        page.Seek(1);
        ScannerState state;
        ResultsWriter results({}, nullptr);
        if (!scan(state, page, results)) {
            bench.SkipWithError("the page does not scan");
            return;
        }
        benchmark::DoNotOptimize(results.Page().data());
        names = state.RankCounter;
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * page.Size());
    bench.counters["names"] = static_cast<double>(names);
}

void BM_Scan_SamplePage(benchmark::State &bench)
{
    TimeScan(bench, ScanPageFile, false);
}
void BM_Scan_Generated4MiB(benchmark::State &bench)
{
    TimeScan(bench, ScanPageFile, true);
}
void BM_ReferenceScan_SamplePage(benchmark::State &bench)
{
    TimeScan(bench, ReferenceScanPageFile, false);
}
void BM_ReferenceScan_Generated4MiB(benchmark::State &bench)
{
    TimeScan(bench, ReferenceScanPageFile, true);
}

BENCHMARK(BM_Scan_SamplePage);
BENCHMARK(BM_Scan_Generated4MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceScan_SamplePage);
BENCHMARK(BM_ReferenceScan_Generated4MiB)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrune

BENCHMARK_MAIN();
