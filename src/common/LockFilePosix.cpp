#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/AtomicFile.h"
#include "common/LockFile.h"

namespace kitebar {
namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : ".";
}

// One attempt at an exclusive lock on `fd`, without waiting.
LockFile::Attempt TryLockDescriptor(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
      return LockFile::Attempt::kLocked;
    if (errno != EINTR)
      return errno == EWOULDBLOCK ? LockFile::Attempt::kHeldElsewhere : LockFile::Attempt::kFailed;
  }
}

// Links and folders are what O_NOFOLLOW and O_RDWR refuse with these.
bool IsNotAFile(int error) {
  return error == EISDIR || error == ELOOP;
}

}  // namespace

Result<LockFile> LockFile::Open(const std::filesystem::path& file) {
  const int flags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(file.c_str(), O_RDWR | flags, 0644);
  int error = errno;
  if (fd < 0 && (error == EACCES || error == EROFS)) {
    fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // In a read-only folder the file is missing because it could not be
    // created: the cause to name is the first one.
    if (fd < 0 && errno != ENOENT)
      error = errno;
  }
  if (fd < 0 && IsNotAFile(error))
    return LockFileNotRegularFailure(file);
  if (fd < 0)
    return LockFileCreationFailure(file, DescribeSystemError(error), CauseOfSystemError(error));
  LockFile opened(fd, file);
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    return LockFileNotRegularFailure(file);
  // A folder that can be written but not read (mode 0300) cannot be opened
  // for its lock: the writer stops rather than carry on with half a lock.
  const std::filesystem::path folder = FolderOf(file);
  opened.folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (opened.folder_ < 0) {
    const int folderError = errno;
    opened.folder_ = kNone;
    return LockFolderFailure(folder, DescribeSystemError(folderError),
                             CauseOfSystemError(folderError));
  }
  return opened;
}

// The file first, then the folder, in the same order in every writer. A
// folder that cannot be locked (some network file systems) stops the writer
// too: the file's lock alone does not keep a second writer out.
LockFile::Attempt LockFile::TryLock() {
  const Attempt onFile = TryLockDescriptor(static_cast<int>(handle_));
  if (onFile == Attempt::kFailed)
    failure_ = LockFolderFailure(FolderOf(file_), DescribeSystemError(errno), Cause::kNone);
  if (onFile != Attempt::kLocked)
    return onFile;
  const Attempt onFolder = TryLockDescriptor(static_cast<int>(folder_));
  if (onFolder == Attempt::kFailed)
    failure_ = LockFolderFailure(FolderOf(file_), DescribeSystemError(errno), Cause::kNone);
  if (onFolder != Attempt::kLocked)
    ::flock(static_cast<int>(handle_), LOCK_UN);
  return onFolder;
}

bool LockFile::IsStillAt(const std::filesystem::path& file) const {
  struct stat held {};
  struct stat named {};
  return ::fstat(static_cast<int>(handle_), &held) == 0 && ::lstat(file.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Closing the descriptor releases the lock; a failed close is not retried.
void LockFile::Release() {
  if (folder_ != kNone)
    ::close(static_cast<int>(std::exchange(folder_, kNone)));
  if (handle_ != kNone)
    ::close(static_cast<int>(std::exchange(handle_, kNone)));
}

}  // namespace kitebar
