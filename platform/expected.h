#pragma once

#include "platform/runtimeerror.h"

#include <optional>
#include <utility>
#include <variant>

namespace kestrune {

// A result or the RuntimeError that stopped it: how every operation below
// the run reports failure, so a caller reads as a sequence of checks and no
// failure can leave by a path the caller did not write. Expected<> is an
// operation without a result.
template <typename T = void> class [[nodiscard]] Expected
{
public:
    Expected(T value)
        : state_(std::in_place_index<0>, std::move(value))
    {}
    Expected(RuntimeError error)
        : state_(std::in_place_index<1>, std::move(error))
    {}

    bool HasValue() const { return state_.index() == 0; }
    explicit operator bool() const { return HasValue(); }

    T &operator*() & { return std::get<0>(state_); }
    const T &operator*() const & { return std::get<0>(state_); }
    T &&operator*() && { return std::get<0>(std::move(state_)); }
    T *operator->() { return &std::get<0>(state_); }
    const T *operator->() const { return &std::get<0>(state_); }
    const RuntimeError &Error() const { return std::get<1>(state_); }

private:
    std::variant<T, RuntimeError> state_;
};

template <> class [[nodiscard]] Expected<void>
{
public:
    Expected() = default;
    Expected(RuntimeError error)
        : error_(std::move(error))
    {}

    bool HasValue() const { return !error_.has_value(); }
    explicit operator bool() const { return HasValue(); }
    const RuntimeError &Error() const { return *error_; }
    // The failure, if any, for keeping beside other values.
    const std::optional<RuntimeError> &Failure() const { return error_; }

private:
    std::optional<RuntimeError> error_;
};

} // namespace kestrune
