#pragma once

#include <cstdint>

namespace kestrune {

// splitmix64: tiny, well mixed and identical on every platform, so the
// sample forum's members and the benchmarks' pages and tables are the same
// everywhere.
class Mixer
{
public:
    explicit Mixer(std::uint64_t seed)
        : state_(seed)
    {}

    std::uint64_t Next()
    {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31U);
    }

    // From 0 up to `bound`, which is above 0.
    template <typename Number> Number Below(Number bound)
    {
        return static_cast<Number>(Next() % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t state_;
};

} // namespace kestrune
