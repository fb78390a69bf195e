#pragma once

#include "app/common/startup.h"

#include <QString>

namespace kestrune {

// Every sentence start-up shows, in one place.
QString DescribeHostError(const HostError &error);
QString DescribeStartupError(const StartupError &error);
QString DescribeSaved(const SavedSettings &saved);
QString DescribeNoDisplay(); // the window program, started where it cannot open

} // namespace kestrune
