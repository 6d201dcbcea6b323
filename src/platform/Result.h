#pragma once

#include <optional>
#include <string>
#include <utility>

namespace platform {

// Why an operation failed, in words for the user: what a Result holds instead of a value.
struct Failure {
    std::string error;
};

// A value, or why there is none. Dropping one unread is a compile warning, so no failure is
// lost by accident; asking a failure for its value throws instead of reading garbage.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : held(std::move(value)) {}
    Result(Failure failure) : reason(std::move(failure.error)) {}

    bool ok() const { return held.has_value(); }
    const T& value() const& { return held.value(); }
    T& value() & { return held.value(); }
    T&& value() && { return std::move(held).value(); }
    // Empty when there is a value.
    const std::string& error() const { return reason; }

private:
    std::optional<T> held;
    std::string reason;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failed(true), reason(std::move(failure.error)) {}

    bool ok() const { return !failed; }
    const std::string& error() const { return reason; }

private:
    bool failed = false;
    std::string reason;
};

// The outcome of an operation that gives nothing back but may fail.
using Status = Result<void>;

} // namespace platform
