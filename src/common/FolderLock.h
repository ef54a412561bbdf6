#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "common/Status.h"

namespace kitebar {

// The write lock of a working folder: every operation that reads files of the
// folder in order to change them holds it from the read to the last rename,
// so that a second writer (the desktop program and kitebar-cli, or two
// commands) waits and then works on the first one's result. Readers need no
// lock: every writer replaces whole files by renaming.
//
// The lock is an advisory lock on the file "kitebar.lock" in the folder, which
// stays there. Within one process the lock is re-entrant: an operation that
// runs inside another one that holds it enters it at once (`nested()`).
// It is taken and released by one thread at a time.
class FolderLock {
 public:
  static constexpr char kLockFileName[] = "kitebar.lock";
  static constexpr std::chrono::milliseconds kDefaultPatience{5000};

  // Takes the lock of `folder` (empty: the current folder), waiting up to
  // `patience` for another writer to finish. Fails, saying that another Kitebar is writing, when it
  // does not finish in time, or when the lock file cannot be created or opened.
  static Result<FolderLock> Acquire(const std::filesystem::path& folder,
                                    std::chrono::milliseconds patience = kDefaultPatience);
  // The lock of the folder that holds `file`.
  static Result<FolderLock> AcquireFor(const std::filesystem::path& file) {
    return Acquire(file.parent_path());
  }

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // Whether an enclosing operation of this process held the lock already.
  bool nested() const { return nested_; }

 private:
  FolderLock(std::string key, bool nested) : key_(std::move(key)), nested_(nested) {}

  std::string key_;  // empty once moved from
  bool nested_ = false;
};

// The message of a writer that gave up waiting for the lock.
std::string AnotherWriterMessage();

}  // namespace kitebar
