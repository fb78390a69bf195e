#include "engine/commit/runtally.h"

#include "engine/commit/pageoutcome.h"
#include "engine/write/pagerange.h"

#include <utility>

namespace kestrune {

void RunTally::Start(std::int64_t firstPage, std::int64_t lastPage, std::int64_t nowMs)
{
    report_ = {};
    report_.firstPage = firstPage;
    report_.lastPage = lastPage;
    startMs_ = nowMs;
    lastNamedPage_.reset();
    seen_.clear();
    pageNames_.clear();
}

void RunTally::Name(std::int64_t counter, std::string_view name)
{
    pageNames_.emplace_back(counter, name);
}

void RunTally::StartPage(std::int64_t page)
{
    page_ = page;
    pageNames_.clear();
}

Expected<> RunTally::KeepPage()
{
    const std::vector<NumberedName> names = std::exchange(pageNames_, {});
    if (names.empty())
        return {};
    // Only a page with names after it is short: the last may end the ranking.
    if (lastNamedPage_ && lastNamedPage_->names < RanksPerPage) {
        if (report_.shortPages.size() < RunReport::MaxListed)
            report_.shortPages.push_back(*lastNamedPage_);
        else
            ++report_.shortPagesNotListed;
    }
    lastNamedPage_ = ShortPage{page_, static_cast<std::int64_t>(names.size())};
    for (const auto &[number, name] : names)
        AddName(number, name);
    return {};
}

void RunTally::AddName(std::int64_t number, const std::string &name)
{
    ++report_.names;
    const auto found = seen_.find(name);
    if (found == seen_.end()) {
        if (seen_.size() < MaxNamesRemembered)
            seen_.emplace(name, Seen{number, 0});
        else
            report_.namesForgotten = true;
        return;
    }
    Seen &seen = found->second;
    if (seen.repeated > 0) {
        report_.repeatedNames[seen.repeated - 1].numbers.push_back(number);
    } else if (report_.repeatedNames.size() < RunReport::MaxListed) {
        report_.repeatedNames.push_back({name, {seen.firstNumber, number}});
        seen.repeated = report_.repeatedNames.size();
    } else {
        ++report_.repeatsNotListed;
    }
}

RunReport RunTally::Report(std::int64_t nowMs, const EmptyRun &emptyAtEnd) const
{
    RunReport report = report_;
    report.milliseconds = nowMs - startMs_;
    report.firstEmptyPage = emptyAtEnd.Any() ? emptyAtEnd.First() : 0;
    report.lastEmptyPage = emptyAtEnd.Any() ? emptyAtEnd.Last() : 0;
    return report;
}

} // namespace kestrune
