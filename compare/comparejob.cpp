#include "compare/comparejob.h"

#include "compare/tablefiles.h"

namespace kestrune {

namespace {

// Shares of the bar: reading each table is most of the work.
constexpr int OlderEnds = 45;
constexpr int NewerEnds = 90;

} // namespace

CompareJob::CompareJob(ComparedFiles files, QObject *parent)
    : QObject(parent)
    , thread_([this, files = std::move(files)](const std::stop_token &stop) { Work(stop, files); })
{}

CompareJob::~CompareJob()
{
    // Whatever the worker posted after this is dropped with the object.
    thread_.request_stop();
    if (thread_.joinable())
        thread_.join();
}

void CompareJob::Report(int percent)
{
    if (percent == reported_)
        return;
    reported_ = percent;
    QMetaObject::invokeMethod(
        this, [this, percent] { emit progressed(percent); }, Qt::QueuedConnection);
}

void CompareJob::Work(const std::stop_token &stop, const ComparedFiles &files)
{
    const auto load = [&](const QString &path, int from, int to) {
        return LoadExportTable(path, [&](std::size_t done, std::size_t total) {
            Report(from + static_cast<int>((to - from) * static_cast<double>(done) /
                                           static_cast<double>(std::max<std::size_t>(total, 1))));
            return !stop.stop_requested();
        });
    };
    const auto fail = [this](const UserMessage &problem) {
        QMetaObject::invokeMethod(
            this, [this, problem] { emit failed(problem); }, Qt::QueuedConnection);
    };
    Report(0);
    const TableLoad older = load(files.older, 0, OlderEnds);
    if (older.problem)
        return fail(*older.problem);
    if (!older.table)
        return;
    const TableLoad newer = load(files.newer, OlderEnds, NewerEnds);
    if (newer.problem)
        return fail(*newer.problem);
    if (!newer.table)
        return;
    Report(NewerEnds);
    std::optional<Comparison> comparison =
        Compare(older.table, newer.table, [&stop] { return stop.stop_requested(); });
    if (!comparison)
        return;
    std::vector<LevelCount> levels = CountLevels(*older.table, *newer.table);
    Report(100);
    auto result = std::make_shared<const ComparedExports>(
        ComparedExports{files, std::move(*comparison), std::move(levels)});
    QMetaObject::invokeMethod(
        this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}

} // namespace kestrune
