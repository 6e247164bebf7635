#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vrx {

// A value or the reason there is none. Errors that callers must handle travel as
// values: nothing in the core throws across a layer.
template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(std::string reason) { return Result(std::move(reason), 0); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    Result(std::string reason, int) : error_(std::move(reason)) {}
    std::optional<T> value_;
    std::string error_;
};

// For operations that produce nothing but may fail.
struct Done {};
using Status = Result<Done>;
inline Status success() {
    return Done{};
}

}  // namespace vrx
