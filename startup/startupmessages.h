#pragma once

#include "platform/usermessage.h"
#include "startup/startup.h"

#include <QList>
#include <QString>

namespace kestrune {

// Every sentence start-up shows, in one place. The messages end with what to
// do on the command line; the window's own say it by its menu.
// Every problem in one message, each named once.
UserMessage DescribeStartupErrors(const QList<StartupError> &errors);
UserMessage DescribeSaved(const SavedSettings &saved);
UserMessage DescribeNoDisplay(); // the window program, started where it cannot open
// kestrune-cli, before its failure when NoForumAddressSet.
UserMessage DescribeNoForumAddress();

// Short enough to stand beside a setting's box.
QString DescribeHostError(const HostError &error);

// The window's menu items that change each setting.
struct SettingMenu
{
    QString host;
    QString caFile;
    QString retries;
    QString timeout;
    QString folder;
};

// The same problems as the window tells them: a stored setting is put right
// from its item of `menu`, and `hostInUse` serves meanwhile.
UserMessage DescribeStartupError(const StartupError &error, const QString &hostInUse,
                                 const SettingMenu &menu);
UserMessage DescribeStartupErrors(const QList<StartupError> &errors, const QString &hostInUse,
                                  const SettingMenu &menu);

} // namespace kestrune
