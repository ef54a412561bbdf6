#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The open lock file of a folder, for FolderLock; each platform has its file
// (LockFilePosix.cpp, LockFileWindows.cpp). Closing it releases the lock.
class LockFile {
 public:
  enum class Attempt { kLocked, kHeldElsewhere, kFailed };

  // Opens (creating it when needed) the lock file without following a link
  // in its place; it must be a regular file. A read-only one still serves.
  static Result<LockFile> Open(const std::filesystem::path& file);

  // One attempt at the exclusive lock, without waiting. kFailed leaves the
  // reason in `failure()`.
  Attempt TryLock();
  const Status& failure() const { return failure_; }

  // Whether `file` still names the file this lock is on. A lock on a file
  // that someone deleted or replaced since keeps no other writer out: the
  // next one creates a new file of that name and locks that.
  bool IsStillAt(const std::filesystem::path& file) const;

  LockFile(LockFile&& other) noexcept;
  LockFile& operator=(LockFile&& other) noexcept;
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;
  ~LockFile();

 private:
  static constexpr std::intptr_t kNone = -1;
  LockFile(std::intptr_t handle, std::filesystem::path file)
      : handle_(handle), file_(std::move(file)) {}
  void Release();

  std::intptr_t handle_ = kNone;  // a descriptor, or a HANDLE
  std::filesystem::path file_;
  // POSIX: a descriptor of the folder, locked after the file. A lock file
  // can be deleted under its holder while the folder cannot; Windows keeps
  // the file from being deleted instead.
  std::intptr_t folder_ = kNone;
  Status failure_ = Status::Ok();
};

// The failures of LockFile::Open, worded alike on every platform.
Status LockFileCreationFailure(const std::filesystem::path& file, std::string_view reason,
                               Cause cause);
Status LockFileNotRegularFailure(const std::filesystem::path& file);
// The folder that holds the lock file cannot be opened to be locked itself:
// with the file's lock alone a deleted lock file would let a second writer in.
Status LockFolderFailure(const std::filesystem::path& folder, std::string_view reason, Cause cause);

}  // namespace kitebar
