#include "engine/runtally.h"

#include "engine/pagerange.h"

namespace kestrune {

void RunTally::Start(std::int64_t firstPage, std::int64_t lastPage, std::int64_t nowMs)
{
    report_ = {};
    report_.firstPage = firstPage;
    report_.lastPage = lastPage;
    startMs_ = nowMs;
    lastNamedPage_.reset();
    seen_.clear();
}

void RunTally::AddPage(std::int64_t page, const std::vector<std::string> &names)
{
    ++report_.pages;
    if (names.empty())
        return;
    // Only a page with names after it is short: the last may end the ranking.
    if (lastNamedPage_ && lastNamedPage_->names < RanksPerPage) {
        if (report_.shortPages.size() < RunReport::MaxListed)
            report_.shortPages.push_back(*lastNamedPage_);
        else
            ++report_.shortPagesNotListed;
    }
    lastNamedPage_ = ShortPage{page, static_cast<std::int64_t>(names.size())};
    for (const std::string &name : names)
        AddName(name);
}

void RunTally::AddName(const std::string &name)
{
    const std::int64_t line = ++report_.names;
    const auto found = seen_.find(name);
    if (found == seen_.end()) {
        if (seen_.size() < MaxNamesRemembered)
            seen_.emplace(name, Seen{line, 0});
        else
            report_.namesForgotten = true;
        return;
    }
    Seen &seen = found->second;
    if (seen.repeated > 0) {
        report_.repeatedNames[seen.repeated - 1].lines.push_back(line);
    } else if (report_.repeatedNames.size() < RunReport::MaxListed) {
        report_.repeatedNames.push_back({name, {seen.firstLine, line}});
        seen.repeated = report_.repeatedNames.size();
    } else {
        ++report_.repeatsNotListed;
    }
}

RunReport RunTally::Report(std::int64_t nowMs, std::int64_t firstEmptyPage,
                           std::int64_t lastEmptyPage) const
{
    RunReport report = report_;
    report.milliseconds = nowMs - startMs_;
    report.firstEmptyPage = firstEmptyPage;
    report.lastEmptyPage = lastEmptyPage;
    return report;
}

} // namespace kestrune
