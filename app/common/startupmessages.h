#pragma once

#include "app/common/startup.h"
#include "platform/usermessage.h"

#include <QString>

namespace kestrune {

// Every sentence start-up shows, in one place. The messages end with what to
// do on the command line; the window's own say it by its menu.
UserMessage DescribeStartupError(const StartupError &error);
UserMessage DescribeSaved(const SavedSettings &saved);
UserMessage DescribeNoDisplay(); // the window program, started where it cannot open

// Short enough to stand beside a setting's box.
QString DescribeHostError(const HostError &error);
QString DescribeCaFileError(const StartupError &error);

// The window's menu items that change the settings.
QString HostMenuItem();
QString CaFileMenuItem();
QString RetriesMenuItem();
QString TimeoutMenuItem();
// The same problems as the window tells them: a stored setting is put right
// from its menu, and `hostInUse` serves meanwhile.
UserMessage DescribeStartupErrorInWindow(const StartupError &error, const QString &hostInUse);

} // namespace kestrune
