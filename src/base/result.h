#pragma once
// What everything that can fail returns: a value, or the reason it could not be had.
// Callers must look: the type is [[nodiscard]], and reaching for the value of a failed
// result (or the reason of a good one) stops the program in a debug build rather than
// showing a wrong value.

#include <cassert>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace ceph::base {

// Why something could not be done: the file concerned (empty when none), the system's
// error when there is one, and words for the user or the log when the system has none
// or says too little.
struct Problem {
    std::string file;
    std::error_code error;
    std::string detail;
};

// The reason of a failed result, as a value that converts into any Result.
template <class Why>
struct Failure {
    Why why;
};
template <class Why>
Failure<Why> Fail(Why why) {
    return {std::move(why)};
}
inline Failure<Problem> Fail(std::string file, std::error_code error, std::string detail = {}) {
    return {Problem{std::move(file), error, std::move(detail)}};
}

template <class T, class Why = Problem>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    template <class W>
    Result(Failure<W> failure) : v_(std::in_place_index<1>, std::move(failure.why)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(v_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(v_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(v_));
    }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Why& why() const {
        assert(!ok());
        return std::get<1>(v_);
    }

  private:
    std::variant<T, Why> v_;
};

// A result with nothing to give but success.
template <class Why>
class [[nodiscard]] Result<void, Why> {
  public:
    Result() = default;
    template <class W>
    Result(Failure<W> failure) : why_(std::move(failure.why)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Why& why() const {
        assert(failed_);
        return why_;
    }

  private:
    Why why_{};
    bool failed_ = false;
};

// A step the system reports on with an error code, as a result: done when the code is
// clear, else failed for that reason, naming the file.
inline Result<void> FromSystem(std::string file, std::error_code error) {
    if (error) return Fail(std::move(file), error);
    return {};
}

}  // namespace ceph::base
