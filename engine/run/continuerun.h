#pragma once

#include "engine/resume/resumefile.h"

#include <optional>

namespace kestrune {

class Exporter;

// Sets `exporter` to continue the run `point` describes, in its directory:
// the files are taken back to the point, numbering and the table carry on,
// and the run's host, retries and timeout return. The front end then puts
// the point's forum, ranks and delay in its inputs and starts the run.
std::optional<ResumeProblem> ContinueRun(Exporter &exporter, const ResumePoint &point);

// Whether another live run holds `folder`: its record is then that run's.
bool RunGoingOnIn(const QDir &folder);

} // namespace kestrune
