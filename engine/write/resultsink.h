#pragma once

#include "engine/write/pagescanner.h"
#include "platform/expected.h"

#include <cstdint>

namespace kestrune {

// One result a run builds, page by page, from what the scan meets. The page
// commit drives every sink through the same steps, so that a page reaches
// all of them or none.
class ResultSink : public ScanSink
{
public:
    // The scan of `page` is about to report.
    virtual void StartPage(std::int64_t page) = 0;
    // Forgets what the page's scan reported; nothing of it is written.
    virtual void DropPage() = 0;
    // Writes the page's part, all or nothing; a file stays open for the
    // steps below.
    virtual Expected<> WritePage() = 0;
    // Best effort: takes the written part back out, as a later sink failed.
    virtual void TakeBackPage() = 0;
    // The page stands in every sink: releases what WritePage holds open.
    virtual Expected<> KeepPage() = 0;
    // However the run ended; a sink leaves its result whole.
    virtual Expected<> EndRun() = 0;
};

} // namespace kestrune
