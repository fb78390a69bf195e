#pragma once

#include "engine/fetch/fetchfailure.h"

#include <QByteArray>
#include <cstdint>

namespace kestrune {

inline constexpr int MaxRetries = 10;
inline constexpr std::int64_t MaxRetryAfterMs = 120LL * 1000;

// Whether another try may take the page: a transient fetch failure, or a
// page without names whose status says the server may answer later.
bool IsRetryable(const FetchFailure &failure);

// The wait before the try after try `tries`: the server's Retry-After
// (seconds or an HTTP date), capped; without it 2^(tries-1) times the
// pause between pages, at least a second.
std::int64_t RetryWaitMilliseconds(int tries, std::int64_t pauseMs, const QByteArray &retryAfter,
                                   std::int64_t nowWallMs);

} // namespace kestrune
