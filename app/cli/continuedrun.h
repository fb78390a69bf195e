#pragma once

#include "engine/resume/resumepoint.h"

#include <QDir>
#include <optional>

namespace kestrune {

class Exporter;

// --continue: the run `folder` holds the record of, or nothing once why not
// is printed.
std::optional<ResumePoint> RunToContinue(const QDir &folder);

// Which of the exporter's settings were given beside --continue: those win
// over the record's.
struct GivenSettings
{
    bool host = false;
    bool retries = false;
    bool timeout = false;
};

// Sets `exporter` up to carry the run on; false once a problem is printed.
bool SetUpContinuedRun(Exporter &exporter, const ResumePoint &point, GivenSettings given);

} // namespace kestrune
