#include "common/FolderLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;

constexpr std::chrono::milliseconds kShortPatience{100};

// Whether another process could take the folder's lock right now.
bool FreeForAnotherProcess() {
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(FolderLock::kLockFileName, O_RDWR);
    ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FolderLock, NestedOperationsShareTheLockUntilTheOutermostEnds) {
  TempWorkingDirectory folder;
  {
    Result<FolderLock> outer = FolderLock::Acquire(".");
    ASSERT_TRUE(outer.ok()) << outer.message();
    EXPECT_FALSE(outer->nested());
    {
      Result<FolderLock> inner = FolderLock::Acquire(".", kShortPatience);
      ASSERT_TRUE(inner.ok());
      EXPECT_TRUE(inner->nested());
    }
    EXPECT_FALSE(FreeForAnotherProcess());
  }
  EXPECT_TRUE(FreeForAnotherProcess());
}

TEST(FolderLock, AnotherProcessHoldingItMakesTheWriterGiveUp) {
  TempWorkingDirectory folder;
  {
    const test::LockHolder anotherWriter;
    const Result<FolderLock> refused = FolderLock::Acquire(".", kShortPatience);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), AnotherWriterMessage());
  }
  EXPECT_TRUE(FolderLock::Acquire(".", kShortPatience).ok());
}

TEST(FolderLock, ALinkOrAPipeInItsPlaceIsRefused) {
  TempWorkingDirectory folder;
  std::filesystem::create_symlink("elsewhere", FolderLock::kLockFileName);
  EXPECT_FALSE(FolderLock::Acquire(".", kShortPatience).ok());
  EXPECT_FALSE(std::filesystem::exists("elsewhere"));
  std::filesystem::remove(FolderLock::kLockFileName);
  ASSERT_EQ(::mkfifo(FolderLock::kLockFileName, 0644), 0);
  EXPECT_FALSE(FolderLock::Acquire(".", kShortPatience).ok());
}

}  // namespace
}  // namespace kitebar
