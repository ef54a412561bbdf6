#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// The write lock of a working folder: every operation that reads files of the
// folder in order to change them holds it from the read to the last rename,
// so that a second writer (the desktop program and kitebar-cli, or two
// commands) waits and then works on the first one's result. Readers need no
// lock: every writer replaces whole files by renaming.
//
// A file may be a symbolic link into another folder, which another working
// folder's file may reach too: the lock is then taken in the folder that is
// really written as well, so that two folders whose histories lead to one
// file never write it at once. The folders are locked in one fixed order
// (their full paths, sorted), so that two writers never wait for each other.
//
// The lock of a folder is an advisory lock on the file "kitebar.lock" in it,
// which stays there, and on the folder itself. Within one process the lock is
// re-entrant: an operation that runs inside another one that holds it enters
// it at once (`nested()`). It is taken and released by one thread at a time.
class FolderLock {
 public:
  static constexpr char kLockFileName[] = "kitebar.lock";
  static constexpr std::chrono::milliseconds kDefaultPatience{5000};

  // Takes the lock of the working folder `folder` (empty: the current
  // folder) and of the folders that its data files (the history, the
  // back-test records, the import's scratch file) lead to, waiting up to
  // `patience` for another writer to finish. Fails, saying that another
  // Kitebar is writing, when it does not finish in time, or with the cause
  // when a lock file cannot be created or a folder cannot be locked.
  static Result<FolderLock> Acquire(const std::filesystem::path& folder,
                                    std::chrono::milliseconds patience = kDefaultPatience);
  // The lock of the folder that holds `file` and, for a link, of the folder
  // that holds its target: the folders that a write of `file` writes in.
  static Result<FolderLock> AcquireFor(const std::filesystem::path& file,
                                       std::chrono::milliseconds patience = kDefaultPatience);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // Whether an enclosing operation of this process held the lock of the
  // folder already.
  bool nested() const { return nested_; }

 private:
  FolderLock(std::vector<std::string> keys, bool nested)
      : keys_(std::move(keys)), nested_(nested) {}
  static Result<FolderLock> AcquireAll(std::vector<std::string> keys,
                                       std::chrono::milliseconds patience);

  std::vector<std::string> keys_;  // the folders, each entered once; empty once moved from
  bool nested_ = false;
};

// The message of a writer that gave up waiting for the lock.
std::string AnotherWriterMessage();

}  // namespace kitebar
