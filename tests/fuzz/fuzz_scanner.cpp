// Feeds arbitrary bytes to the fast scanner and the reference scanner as a
// stored page and stops at the first input on which they disagree.
#include "engine/write/pagescanner.h"
#include "tests/support/referencescanner.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The counter starts where the first bytes say, so that negative and wide
// numbers are reported too; 32 bits keep RankCounter + names far from overflow.
std::int64_t StartingCounter(const std::uint8_t *data, std::size_t size)
{
    std::int32_t value = 0;
    std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
    return value;
}

void Describe(const char *label, const kestrune::ScanOutcome &outcome)
{
    std::fprintf(stderr, "%s: error=%d offset=%lld counter=%lld position=%lld events=%zu\n", label,
                 outcome.error ? static_cast<int>(*outcome.error) : -1,
                 static_cast<long long>(outcome.errorOffset.value_or(0)),
                 static_cast<long long>(outcome.rankCounter),
                 static_cast<long long>(outcome.scanPosition), outcome.events.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string page(reinterpret_cast<const char *>(data), size);
    const std::int64_t counter = StartingCounter(data, size);
    const kestrune::ScanOutcome fast = kestrune::RunScan(kestrune::ScanPageFile, page, counter);
    const kestrune::ScanOutcome reference =
        kestrune::RunScan(kestrune::ReferenceScanPageFile, page, counter);
    if (fast == reference)
        return 0;
    Describe("fast", fast);
    Describe("reference", reference);
    std::abort();
}
