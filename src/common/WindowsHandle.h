#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "common/Status.h"

// For the Windows platform files only.
namespace kitebar::windows {

// An open Windows handle, closed once when the object ends.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Close(); }

  HANDLE get() const { return handle_; }
  // Hands the handle over, to be closed by the caller.
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes once; a failed close is reported, never retried.
  bool Close() {
    if (!valid())
      return true;
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Whether `error` says that the file or a folder on its path does not exist.
inline bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Whether `error` may come from another program that has the file open in a
// way that excludes ours (an editor, a virus scanner): usually over within
// moments.
inline bool MayPassSoon(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// The reason of a failed file operation, in the words the POSIX side uses
// for the same cause.
std::string DescribeError(DWORD error);
// Its cause, for the advice.
Cause CauseOf(DWORD error);
// The failure of that reason alone, with its cause.
Status ErrorStatus(DWORD error);

// Whether the open `handle` is a regular file: on a disk, not a folder.
bool IsRegularFile(HANDLE handle);

}  // namespace kitebar::windows
