#include "common/FolderLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

// In a folder the user may not write to, the refusal names the permission,
// not a missing file; a lock file that is there already still serves. Root
// writes anywhere, so the attempt runs as an ordinary user.
TEST(FolderLock, AFolderWithoutWritePermissionIsNamedAsSuch) {
  for (const bool lockFileExists : {false, true}) {
    TempWorkingDirectory folder;
    if (lockFileExists) {
      ASSERT_TRUE(FolderLock::Acquire(".").ok());
    }
    ASSERT_EQ(::chmod(".", 0555), 0);
    int message[2];
    ASSERT_EQ(::pipe(message), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      constexpr uid_t kNobody = 65534;
      if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(2);
      const Result<FolderLock> lock = FolderLock::Acquire(".", kShortPatience);
      const std::string text = lock.ok() ? "locked" : lock.message();
      (void)!::write(message[1], text.data(), text.size());
      ::_exit(0);
    }
    ::close(message[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got = 0; (got = ::read(message[0], buffer, sizeof buffer)) > 0;)
      text.append(buffer, static_cast<std::size_t>(got));
    ::close(message[0]);
    ::waitpid(child, nullptr, 0);
    ::chmod(".", 0755);
    if (lockFileExists) {
      EXPECT_EQ(text, "locked");
    } else {
      EXPECT_NE(text.find("アクセスする権限がありません"), std::string::npos) << text;
      EXPECT_EQ(text.find("（ファイルまたはフォルダーがありません）"), std::string::npos) << text;
    }
  }
}

}  // namespace
}  // namespace kitebar
