#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/AtomicFile.h"
#include "common/LockFile.h"

namespace kitebar {

Result<LockFile> LockFile::Open(const std::filesystem::path& file) {
  const int flags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(file.c_str(), O_RDWR | flags, 0644);
  if (fd < 0 && (errno == EACCES || errno == EROFS))
    fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return Status::Failure(LockFileCreationFailure(file, DescribeSystemError(errno)));
  LockFile opened(fd);
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    return Status::Failure(LockFileNotRegularFailure(file));
  return opened;
}

LockFile::Attempt LockFile::TryLock() {
  for (;;) {
    if (::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0)
      return Attempt::kLocked;
    if (errno != EINTR)
      return errno == EWOULDBLOCK ? Attempt::kHeldElsewhere : Attempt::kFailed;
  }
}

// Closing the descriptor releases the lock; a failed close is not retried.
void LockFile::Release() {
  if (handle_ != kNone)
    ::close(static_cast<int>(std::exchange(handle_, kNone)));
}

}  // namespace kitebar
