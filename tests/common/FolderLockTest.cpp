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

// What FolderLock::Acquire(".") says when run as an ordinary user (root
// reads and writes anywhere): "locked", or its message.
std::string AcquiredAsAnotherUser() {
  int message[2];
  if (::pipe(message) != 0)
    return "no pipe";
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
  return text;
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
    EXPECT_EQ(refused.what(), AnotherWriterMessage());
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

// Two working folders whose files lead to one file take one lock: the lock
// of the folder that is really written, held here by another process.
TEST(FolderLock, AFileLinkedIntoAnotherFolderTakesThatFoldersLock) {
  TempWorkingDirectory folder;
  const std::filesystem::path working = std::filesystem::current_path();
  struct Case {
    const char* file;
    bool wholeFolder;  // Acquire(folder) rather than AcquireFor(file)
  };
  for (const Case& c :
       {Case{"kitebarnum.dat", true}, Case{"Kitebard.dat", true}, Case{"base.ini", false}}) {
    std::filesystem::create_directories(working / "A");
    std::filesystem::create_directories(working / "C");
    std::filesystem::create_symlink(std::filesystem::path("..") / "C" / c.file,
                                    working / "A" / c.file);
    std::filesystem::current_path(working / "C");
    {
      const test::LockHolder writerOfTheTarget;
      std::filesystem::current_path(working);
      const Result<FolderLock> refused =
          c.wholeFolder
              ? FolderLock::Acquire("A", kShortPatience)
              : FolderLock::AcquireFor(std::filesystem::path("A") / c.file, kShortPatience);
      EXPECT_FALSE(refused.ok()) << c.file;
      EXPECT_EQ(refused.cause(), Cause::kAnotherWriter) << c.file;
    }
    EXPECT_TRUE(FolderLock::Acquire("A", kShortPatience).ok()) << c.file;
    std::filesystem::remove_all(working / "A");
    std::filesystem::remove_all(working / "C");
  }
}

// A folder that can be written but not listed cannot be locked itself: the
// writer stops, naming the folder, rather than carry on with half a lock.
TEST(FolderLock, AFolderThatCannotBeListedIsRefused) {
  TempWorkingDirectory folder;
  ASSERT_EQ(::chmod(".", 0333), 0);
  const std::string text = AcquiredAsAnotherUser();
  ::chmod(".", 0755);
  EXPECT_NE(text.find("」に鍵を掛けられない"), std::string::npos) << text;
  EXPECT_NE(text.find("アクセスする権限がありません"), std::string::npos) << text;
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
    const std::string text = AcquiredAsAnotherUser();
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
