#pragma once

#include <optional>
#include <string>
#include <utility>

namespace kitebar {

// The outcome of a core operation that can fail: success, or failure with a
// message for the user (UTF-8). Core operations return this instead of throwing.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string message) { return Status(std::move(message)); }
  // Another program has the file open in a way that keeps this one out. The
  // message says so and what to do; callers pass it on without advice of
  // their own, which would name causes that do not apply.
  static Status FileInUse(std::string message) {
    Status status(std::move(message));
    status.fileInUse_ = true;
    return status;
  }

  bool ok() const { return !message_.has_value(); }
  explicit operator bool() const { return ok(); }
  bool fileInUse() const { return fileInUse_; }
  const std::string& message() const {
    static const std::string kNone;
    return message_ ? *message_ : kNone;
  }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::optional<std::string> message_;
  bool fileInUse_ = false;
};

// A value, or the message of the failure that prevented it.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}             // NOLINT: implicit on purpose
  Result(Status failure) : failure_(std::move(failure)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  const std::string& message() const { return failure_.message(); }
  Status status() const { return ok() ? Status::Ok() : failure_; }

 private:
  std::optional<T> value_;
  Status failure_ = Status::Ok();
};

}  // namespace kitebar
