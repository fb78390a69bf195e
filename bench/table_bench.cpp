// Names a second through the table's writer and through jieguo.txt's, each
// writing real files page by page, side by side.
#include "engine/commit/tablewriter.h"
#include "engine/write/pagescanner.h"
#include "engine/write/resultswriter.h"
#include "platform/textchannel.h"
#include "tools/sampleforum/sampleforum.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrune {
namespace {

// What the scan of sample pages meets, kept so that only the writing is timed.
struct Met final : ScanSink
{
    struct Event
    {
        bool name;
        std::string text;
    };
    void Name(std::int64_t, std::string_view name) override
    {
        events.push_back({true, std::string(name)});
    }
    void Value(std::string_view value) override { events.push_back({false, std::string(value)}); }
    std::vector<Event> events;
};

const Met &SampleEvents()
{
    static const Met met = [] {
        Met scanned;
        const SampleForum forum;
        const QByteArray body = forum.PageBody(QByteArrayLiteral("Henu"), 1);
        InputChannel page(std::string(body.constData(), static_cast<std::size_t>(body.size())));
        ScannerState state;
        (void)ScanPageFile(state, page, scanned);
        return scanned;
    }();
    return met;
}

template <typename Writer> void TimePages(benchmark::State &bench, Writer &writer)
{
    const Met &met = SampleEvents();
    std::int64_t names = 0;
    for (auto _ : bench) {
        writer.StartPage(1);
        for (const Met::Event &event : met.events) {
            if (event.name)
                writer.Name(++names, event.text);
            else
                writer.Value(event.text);
        }
        if (!writer.WritePage() || !writer.KeepPage()) {
            bench.SkipWithError("the page was not written");
            return;
        }
    }
    bench.SetItemsProcessed(names);
}

std::filesystem::path FileIn(const QTemporaryDir &directory, const char *name)
{
    return directory.filePath(QString::fromLatin1(name)).toStdU16String();
}

void BM_TableWriter_SamplePage(benchmark::State &bench)
{
    const QTemporaryDir directory;
    TableWriter table(FileIn(directory, "t.csv"), nullptr, 1, 20);
    if (!table.Prepare())
        bench.SkipWithError("no table");
    TimePages(bench, table);
}

void BM_ResultsWriter_SamplePage(benchmark::State &bench)
{
    const QTemporaryDir directory;
    ResultsWriter results(FileIn(directory, "jieguo.txt"), nullptr);
    TimePages(bench, results);
}

BENCHMARK(BM_TableWriter_SamplePage);
BENCHMARK(BM_ResultsWriter_SamplePage);

} // namespace
} // namespace kestrune
