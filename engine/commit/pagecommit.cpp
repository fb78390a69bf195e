#include "engine/commit/pagecommit.h"

#include "engine/fetch/pagefetcher.h"
#include "platform/outputfile.h"
#include "platform/textchannel.h"

namespace kestrune {

void PageCommit::Fanout::Name(std::int64_t counter, std::string_view name)
{
    for (ResultSink *sink : sinks_)
        sink->Name(counter, name);
}

void PageCommit::Fanout::Value(std::string_view value)
{
    for (ResultSink *sink : sinks_)
        sink->Value(value);
}

PageCommit::PageCommit(std::filesystem::path pageFile, WriteFault *fault, ScannerState &scanner,
                       std::vector<ResultSink *> sinks)
    : pageFile_(std::move(pageFile))
    , fault_(fault)
    , scanner_(scanner)
    , sinks_(std::move(sinks))
{}

Expected<> PageCommit::ClearPage() const
{
    Expected<OutputFile> page = OutputFile::Open(pageFile_, OutputFile::Mode::Replace, fault_);
    return page ? page->Close() : page.Error();
}

Expected<> PageCommit::StorePage(std::string_view body) const
{
    Expected<OutputFile> page = OutputFile::Open(pageFile_, OutputFile::Mode::Replace, fault_);
    if (!page)
        return page.Error();
    if (Expected<> written = page->Write(body); !written)
        return written;
    if (Expected<> written = page->Write("\r\n"); !written)
        return written;
    return page->Close();
}

PageResult PageCommit::CommitPage(std::int64_t page, const std::optional<FetchFailure> &refusal,
                                  bool retryLeft, const EmptyRun &emptyRun)
{
    // A page file can never hold more than the largest page and its CR LF.
    Expected<InputChannel> stored = InputChannel::Open(pageFile_, PageFetcher::MaxBodyBytes + 2);
    if (!stored)
        return {.error = stored.Error()};
    for (ResultSink *sink : sinks_)
        sink->StartPage(page);
    const ScannerState before = scanner_;
    Fanout fanout(sinks_);
    // What the scan met before an error is kept, as a page's earlier lines
    // would be.
    const Expected<> scanned = ScanPageFile(scanner_, *stored, fanout);
    const std::int64_t names = scanner_.RankCounter - before.RankCounter;
    const PageVerdict verdict = JudgePage(names, refusal, retryLeft, emptyRun);
    if (verdict == PageVerdict::Retry || verdict == PageVerdict::NamesAfterGap) {
        // A failed try writes nothing; nor does a page after a gap, so that a
        // resume at the first empty page leaves no hole in the file.
        scanner_ = before;
        for (ResultSink *sink : sinks_)
            sink->DropPage();
        return {.verdict = verdict};
    }
    if (Expected<> written = WriteEverywhere(); !written) {
        // None of the page's names reached a file: number them again.
        scanner_.RankCounter = before.RankCounter;
        return {.verdict = verdict, .error = written.Error()};
    }
    std::optional<RuntimeError> closeError;
    for (ResultSink *sink : sinks_) {
        if (Expected<> kept = sink->KeepPage(); !kept && !closeError)
            closeError = kept.Error();
    }
    // A refusal tells more than what the scan met on the refusal page.
    const bool refused = verdict == PageVerdict::Refused;
    const std::optional<RuntimeError> &scanError = refused ? std::nullopt : scanned.Failure();
    const std::optional<RuntimeError> &error = closeError ? closeError : scanError;
    if (!refused && !error)
        ++pagesDone_;
    return {.verdict = verdict, .names = names, .error = error};
}

Expected<> PageCommit::WriteEverywhere()
{
    for (auto sink = sinks_.begin(); sink != sinks_.end(); ++sink) {
        if (Expected<> written = (*sink)->WritePage(); !written) {
            for (auto done = sinks_.begin(); done != sink; ++done)
                (*done)->TakeBackPage();
            for (auto rest = sink; rest != sinks_.end(); ++rest)
                (*rest)->DropPage();
            return written;
        }
    }
    return {};
}

Expected<> PageCommit::EndRun()
{
    Expected<> first;
    for (ResultSink *sink : sinks_) {
        if (Expected<> ended = sink->EndRun(); !ended && first)
            first = ended;
    }
    return first;
}

} // namespace kestrune
