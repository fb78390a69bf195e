#pragma once

#include "platform/usermessage.h"
#include "startup/startup.h"

#include <QString>

namespace kestrune {

// The window's menu items that change the settings.
QString HostMenuItem();
QString CaFileMenuItem();
QString RetriesMenuItem();
QString TimeoutMenuItem();
QString FolderMenuItem();
QString TableMenuItem();

// Start-up's problems as the window tells them: a stored setting is put right
// from its menu item, and `hostInUse` serves meanwhile.
UserMessage DescribeStartupErrorInWindow(const StartupError &error, const QString &hostInUse);
UserMessage DescribeStartupErrorsInWindow(const QList<StartupError> &errors,
                                          const QString &hostInUse);

// Short enough to stand beside the CA file's box.
QString DescribeCaFileError(const StartupError &error);

} // namespace kestrune
