// How a failure is reported throughout the tool: a Status returned by value,
// carrying its reason. Where a file format defines a result code for the
// failure, the code travels with it; the tool's own failures have names of
// their own (Failure) and never borrow the formats' numbers.
#pragma once

#include "status/ResultCode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace quillora {

// The failures a caller acts on differently; any other is Failed, and its
// reason says what happened.
enum class Failure : std::uint8_t {
    None,
    Failed,
    // A file was to be made new, and its name was taken.
    NameTaken,
    // No such registry key, value or folder.
    NotFound,
    // The system refuses this user the access asked for.
    AccessDenied,
    // A registry key path that is malformed.
    BadPath,
    // The registry key went away while it was held.
    KeyDeleted,
    // The registry is set up wrongly: a mistake to mend, so the run stops
    // rather than go on without it.
    Misconfigured,
};

class [[nodiscard]] Status {
public:
    // Success.
    Status() = default;

    static Status failed(std::string reason) {
        return Status(Failure::Failed, result::Success, std::move(reason));
    }
    static Status failed(Failure kind, std::string reason) {
        return Status(kind, result::Success, std::move(reason));
    }
    // A file format's result, such as 401 for a record tag that is none.
    static Status formatResult(ResultCode code, std::string reason) {
        return Status(Failure::Failed, code, std::move(reason));
    }

    bool ok() const { return failure_ == Failure::None; }
    explicit operator bool() const { return ok(); }
    Failure failure() const { return failure_; }
    // The format's code; 0 on success and for failures no format defines.
    ResultCode code() const { return code_; }
    const std::string& reason() const { return reason_; }

private:
    Status(Failure kind, ResultCode code, std::string reason)
        : failure_(kind), code_(code), reason_(std::move(reason)) {}

    Failure failure_ = Failure::None;
    ResultCode code_ = result::Success;
    std::string reason_;
};

// A value, or the Status that says why there is none.
template <class T> class [[nodiscard]] Expected {
public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Status failure) : status_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Status& status() const { return status_; }

    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Status status_;
};

} // namespace quillora
