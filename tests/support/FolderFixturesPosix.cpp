#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/FolderLock.h"
#include "support/FolderFixtures.h"

namespace kitebar::test {

struct LockHolder::Process {
  pid_t id = -1;
};

LockHolder::LockHolder() : process_(std::make_unique<Process>()) {
  int ready[2];
  if (::pipe(ready) != 0)
    return;
  process_->id = ::fork();
  if (process_->id == 0) {
    const int fd = ::open(FolderLock::kLockFileName, O_RDWR | O_CREAT, 0644);
    ::flock(fd, LOCK_EX);
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  // Returns once the lock is held.
  char byte = 0;
  if (process_->id > 0)
    (void)!::read(ready[0], &byte, 1);
  ::close(ready[0]);
  ::close(ready[1]);
}

LockHolder::~LockHolder() {
  if (process_->id <= 0)
    return;
  ::kill(process_->id, SIGKILL);
  ::waitpid(process_->id, nullptr, 0);
}

}  // namespace kitebar::test
