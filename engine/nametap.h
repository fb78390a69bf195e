#pragma once

#include "engine/pagescanner.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// Hands a scan on to the next sink and keeps the page's names for the report.
class NameTap final : public ScanSink
{
public:
    explicit NameTap(ScanSink &next)
        : next_(next)
    {}
    void Name(std::int64_t counter, std::string_view name) override
    {
        names.emplace_back(name);
        next_.Name(counter, name);
    }
    void Value(std::string_view value) override { next_.Value(value); }

    std::vector<std::string> names;

private:
    ScanSink &next_;
};

} // namespace kestrune
