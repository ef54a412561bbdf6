#include <windows.h>

#include <utility>

#include "common/LockFile.h"
#include "common/WindowsHandle.h"

namespace kitebar {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE NativeOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// FILE_FLAG_OPEN_REPARSE_POINT: a link planted in the lock file's place is
// opened itself, never followed, and then refused as not a regular file.
HANDLE OpenLockFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  return ::CreateFileW(file.c_str(), access, kShareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool IsReparsePoint(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  return ::GetFileInformationByHandle(handle, &information) == 0 ||
         (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

Result<LockFile> LockFile::Open(const std::filesystem::path& file) {
  windows::UniqueHandle handle(OpenLockFile(file, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
  if (!handle.valid() && ::GetLastError() == ERROR_ACCESS_DENIED)
    handle = windows::UniqueHandle(OpenLockFile(file, GENERIC_READ, OPEN_EXISTING));
  if (!handle.valid())
    return Status::Failure(LockFileCreationFailure(file, windows::DescribeError(::GetLastError())));
  if (!windows::IsRegularFile(handle.get()) || IsReparsePoint(handle.get()))
    return Status::Failure(LockFileNotRegularFailure(file));
  return LockFile(reinterpret_cast<std::intptr_t>(handle.Release()));
}

LockFile::Attempt LockFile::TryLock() {
  OVERLAPPED range{};  // the first byte: every writer locks the same one
  if (::LockFileEx(NativeOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &range) != 0)
    return Attempt::kLocked;
  return ::GetLastError() == ERROR_LOCK_VIOLATION ? Attempt::kHeldElsewhere : Attempt::kFailed;
}

// The lock is released explicitly: on closing alone, Windows may release it
// only some time later.
void LockFile::Release() {
  if (handle_ == kNone)
    return;
  HANDLE native = NativeOf(std::exchange(handle_, kNone));
  OVERLAPPED range{};
  ::UnlockFileEx(native, 0, 1, 0, &range);
  ::CloseHandle(native);
}

}  // namespace kitebar
