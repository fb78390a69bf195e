#pragma once

#include "engine/fetch/fetchfailure.h"
#include "engine/messages/detailwords.h" // DescribeError and DescribeFetchFailure, still found here
#include "engine/run/exportfailure.h"
#include "platform/runtimeerror.h"
#include "platform/usermessage.h"

#include <QString>
#include <cstdint>

namespace kestrune {

// How the program showing a message changes what its advice names, each a
// clause such as 用 --host 指定; empty ones are left out.
struct SettingHints
{
    QString forumAddress{};
    QString caFile{};
    QString timeout{};
    QString otherFolder{}; // how a run is started in another folder
    QString retries{};     // how retries are set, offered as 或…: 加上 --retries 次数
    QString resume{};      // a sentence with %1 for the 名次 to carry on from
};

// What happened, what was saved where and what to do next; the lower
// layers' words in the detail.
UserMessage DescribeFailure(const ExportFailure &failure, const SettingHints &hints = {});

// 5 秒后第 2 次重试第 37 页: told while the wait before a retry lasts.
QString DescribeRetry(std::int64_t page, int retry, std::int64_t waitMilliseconds);

} // namespace kestrune
