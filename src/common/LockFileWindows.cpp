#include <windows.h>

#include <chrono>
#include <thread>
#include <utility>

#include "common/LockFile.h"
#include "common/WindowsHandle.h"

namespace kitebar {
namespace {

// Without FILE_SHARE_DELETE: while any Kitebar has the lock file open, it can
// be neither deleted nor replaced, so the file a writer locks is always the
// one the next writer opens.
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
// A lock file that another program is deleting cannot be opened until its
// last handle closes; that takes moments.
constexpr int kOpenAttempts = 20;
constexpr std::chrono::milliseconds kOpenRetryInterval{50};

HANDLE NativeOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// FILE_FLAG_OPEN_REPARSE_POINT: a link planted in the lock file's place is
// opened itself, never followed, and then refused as not a regular file.
HANDLE OpenLockFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  return ::CreateFileW(file.c_str(), access, kShareReadWrite, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

struct Opened {
  windows::UniqueHandle handle;
  DWORD error = ERROR_SUCCESS;  // the cause to name when the handle is not valid
  bool mayPassSoon = false;
};

// Opens the lock file for writing, or for reading alone where the user may
// not write.
Opened OpenOnce(const std::filesystem::path& file) {
  Opened opened{
      windows::UniqueHandle(OpenLockFile(file, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS))};
  if (opened.handle.valid())
    return opened;
  opened.error = ::GetLastError();
  opened.mayPassSoon = opened.error == ERROR_SHARING_VIOLATION;
  if (opened.error != ERROR_ACCESS_DENIED)
    return opened;
  opened.handle = windows::UniqueHandle(OpenLockFile(file, GENERIC_READ, OPEN_EXISTING));
  const DWORD error = opened.handle.valid() ? ERROR_SUCCESS : ::GetLastError();
  // Missing because it could not be created: the first cause stands. A file
  // that is there but cannot even be read is most likely being deleted.
  if (!opened.handle.valid() && !windows::IsMissing(error)) {
    opened.error = error;
    opened.mayPassSoon = windows::MayPassSoon(error);
  }
  return opened;
}

bool IsReparsePoint(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  return ::GetFileInformationByHandle(handle, &information) == 0 ||
         (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

Result<LockFile> LockFile::Open(const std::filesystem::path& file) {
  Opened opened = OpenOnce(file);
  for (int attempt = 1; opened.mayPassSoon && attempt < kOpenAttempts; ++attempt) {
    std::this_thread::sleep_for(kOpenRetryInterval);
    opened = OpenOnce(file);
  }
  if (!opened.handle.valid()) {
    // A folder of that name is refused as access denied.
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return LockFileNotRegularFailure(file);
    return LockFileCreationFailure(file, windows::DescribeError(opened.error),
                                   windows::CauseOf(opened.error));
  }
  windows::UniqueHandle& handle = opened.handle;
  if (!windows::IsRegularFile(handle.get()) || IsReparsePoint(handle.get()))
    return LockFileNotRegularFailure(file);
  return LockFile(reinterpret_cast<std::intptr_t>(handle.Release()), file);
}

LockFile::Attempt LockFile::TryLock() {
  OVERLAPPED range{};  // the first byte: every writer locks the same one
  if (::LockFileEx(NativeOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &range) != 0)
    return Attempt::kLocked;
  const DWORD error = ::GetLastError();
  if (error == ERROR_LOCK_VIOLATION)
    return Attempt::kHeldElsewhere;
  failure_ = LockFolderFailure(file_.parent_path(), windows::DescribeError(error),
                               windows::CauseOf(error));
  return Attempt::kFailed;
}

bool LockFile::IsStillAt(const std::filesystem::path& file) const {
  const windows::UniqueHandle named(::CreateFileW(
      file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION held{};
  BY_HANDLE_FILE_INFORMATION found{};
  return named.valid() && ::GetFileInformationByHandle(NativeOf(handle_), &held) != 0 &&
         ::GetFileInformationByHandle(named.get(), &found) != 0 &&
         held.dwVolumeSerialNumber == found.dwVolumeSerialNumber &&
         held.nFileIndexHigh == found.nFileIndexHigh && held.nFileIndexLow == found.nFileIndexLow;
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
