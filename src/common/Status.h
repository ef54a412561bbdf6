#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kitebar {

// Why an operation failed, as far as the advice to the user depends on it.
// The text of a failure says what happened and what was or was not changed;
// its cause alone chooses what the user is told to do (AdviceFor), so that no
// message guesses a cause it was not given.
enum class Cause {
  kNone,           // the message says all there is, advice included
  kPermission,     // the user may not write (or read) the file or folder
  kNoSpace,        // the disk or the user's quota is full
  kSizeLimit,      // a file past the size that its reader accepts
  kAnotherWriter,  // another Kitebar holds the folder's lock
  kInUse,          // another program has the file open
  kLink,           // a symbolic link that leads nowhere or somewhere refused
  kReadOnly,       // a file that the user made read-only
  kForm,           // a file that is not what its reader expects (damaged,
                   // another encoding, a folder or a device in its place);
                   // its message says what to do, which depends on the file
  kMissing,        // a file or folder that is not there
  kNetwork,        // nothing reached the server, or it did not answer
  kServer,         // the server answered, but not with what was asked for
};

// The outcome of a core operation that can fail: success, or failure with a
// message for the user (UTF-8) and its cause. Core operations return this
// instead of throwing.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string message, Cause cause = Cause::kNone) {
    return Status(std::move(message), cause);
  }
  // Another program has the file open in a way that keeps this one out.
  static Status FileInUse(std::string message) { return Status(std::move(message), Cause::kInUse); }

  bool ok() const { return !message_.has_value(); }
  explicit operator bool() const { return ok(); }
  bool fileInUse() const { return cause_ == Cause::kInUse; }
  Cause cause() const { return cause_; }
  // What happened, without the advice.
  const std::string& what() const {
    static const std::string kNone;
    return message_ ? *message_ : kNone;
  }
  // What happened, then the one thing to do about it: what the user reads.
  std::string message() const;
  // The same failure told with what comes before and after it (a sentence
  // after it starts a sentence of its own; one in brackets, when `before`
  // opens them, loses its full stop): the cause stays, so that the advice
  // still comes once, at the end.
  Status Wrapped(std::string_view before, std::string_view after = {}) const;

 private:
  Status() = default;
  Status(std::string message, Cause cause) : message_(std::move(message)), cause_(cause) {}
  std::optional<std::string> message_;
  Cause cause_ = Cause::kNone;
};

// The one thing to do about a failure of `cause`: a sentence, or empty where
// the message itself says it (kNone, kForm).
std::string_view AdviceFor(Cause cause);

// `text` ended as a sentence: with "。" unless it has one.
std::string EndSentence(std::string_view text);

// The cause of a failed system call, from its errno value.
Cause CauseOfSystemError(int error);

// A value, or the failure that prevented it.
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
  std::string message() const { return failure_.message(); }
  const std::string& what() const { return failure_.what(); }
  Cause cause() const { return failure_.cause(); }
  Status status() const { return ok() ? Status::Ok() : failure_; }

 private:
  std::optional<T> value_;
  Status failure_ = Status::Ok();
};

}  // namespace kitebar
