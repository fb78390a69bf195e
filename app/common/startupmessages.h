#pragma once

#include "app/common/startup.h"

#include <QString>

namespace kestrune {

// Every sentence start-up shows, in one place.
QString DescribeHostError(const HostError &error);
QString DescribeStartupError(const StartupError &error);
QString DescribeSaved(const SavedSettings &saved);
QString DescribeNoDisplay(); // the window program, started where it cannot open

// The window's menu items that change the settings.
QString HostMenuItem();
QString CaFileMenuItem();
QString RetriesMenuItem();
QString TimeoutMenuItem();
// The same problems as the window tells them: a stored setting is put right
// from its menu, and `hostInUse` serves meanwhile.
QString DescribeStartupErrorInWindow(const StartupError &error, const QString &hostInUse);

} // namespace kestrune
