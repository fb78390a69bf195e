// A resume record is a file anyone with the folder can edit: whatever it
// holds, reading it never fails hard, and a record that reads is written
// back the same.
#include "engine/resume/resumepoint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto read = kestrune::ParseResumePoint(text);
    if (const auto *point = std::get_if<kestrune::ResumePoint>(&read)) {
        const auto again = kestrune::ParseResumePoint(kestrune::FormatResumePoint(*point));
        if (!std::holds_alternative<kestrune::ResumePoint>(again) ||
            std::get<kestrune::ResumePoint>(again) != *point)
            std::abort();
    }
    return 0;
}
