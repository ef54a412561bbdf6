#include "support/FolderFixtures.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/FolderLock.h"
#include "common/NumberText.h"

namespace kitebar::test {

std::string HistoryUpTo(int last) {
  std::string text;
  for (int n = 1; n <= last; ++n)
    text += FormatZeroPadded(n, 4) + "," + FormatZeroPadded(n * 7 % 1000, 3) + "\r\n";
  return text;
}

LockHolder::LockHolder() {
  int ready[2];
  if (::pipe(ready) != 0)
    return;
  holder_ = ::fork();
  if (holder_ == 0) {
    const int fd = ::open(FolderLock::kLockFileName, O_RDWR | O_CREAT, 0644);
    ::flock(fd, LOCK_EX);
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  // Returns once the lock is held.
  char byte = 0;
  if (holder_ > 0)
    (void)!::read(ready[0], &byte, 1);
  ::close(ready[0]);
  ::close(ready[1]);
}

LockHolder::~LockHolder() {
  if (holder_ <= 0)
    return;
  ::kill(holder_, SIGKILL);
  ::waitpid(holder_, nullptr, 0);
}

}  // namespace kitebar::test
