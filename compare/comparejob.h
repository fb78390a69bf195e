#pragma once

#include "compare/comparison.h"
#include "compare/levelcounts.h"
#include "compare/summarywords.h"
#include "platform/usermessage.h"

#include <QObject>
#include <memory>
#include <thread>
#include <vector>

namespace kestrune {

// Two exports compared, with what the window shows beside the rows.
struct ComparedExports
{
    ComparedFiles files;
    Comparison comparison;
    std::vector<LevelCount> levels;
};

// Reads and compares two tables on a thread of its own, so that a window
// stays responsive through a million rows. Destroying the job stops it:
// a second comparison started before the first ends replaces it.
class CompareJob final : public QObject
{
    Q_OBJECT

public:
    explicit CompareJob(ComparedFiles files, QObject *parent = nullptr);
    ~CompareJob() override;
    CompareJob(const CompareJob &) = delete;
    CompareJob &operator=(const CompareJob &) = delete;

signals:
    // 0 to 100, each step once.
    void progressed(int percent);
    void finished(std::shared_ptr<const kestrune::ComparedExports> result);
    void failed(const kestrune::UserMessage &problem);

private:
    void Work(const std::stop_token &stop, const ComparedFiles &files);
    void Report(int percent);

    int reported_ = -1; // the worker's own
    std::jthread thread_;
};

} // namespace kestrune
