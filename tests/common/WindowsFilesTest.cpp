#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FolderLock.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

// The Windows side of the file layer, where Linux has permission bits, links
// and flock: attributes, devices, other programs' open handles and LockFileEx.
namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// Another program's handle on `file` that does not share deletion, as an
// editor or a virus scanner may hold one: the file cannot be replaced while
// it is open.
HANDLE OpenWithoutSharingDeletion(const char* file) {
  return ::CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(WindowsFiles, AReplacementThatFailsLeavesTheOldFileAndNoTemporaryOne) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old");
  const HANDLE other = OpenWithoutSharingDeletion("a.dat");
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  const Status written = WriteFileAtomically("a.dat", "new");
  ::CloseHandle(other);
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.message().find("a.dat"), std::string::npos) << written.message();
  EXPECT_EQ(ReadFileBytes("a.dat"), "old");
  EXPECT_EQ(test::FolderEntryNames(), std::vector<std::string>{"a.dat"});
}

TEST(WindowsFiles, AReplacementWaitsForAnotherProgramThatLetsGoSoon) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old");
  const HANDLE other = OpenWithoutSharingDeletion("a.dat");
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  std::thread closer([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::CloseHandle(other);
  });
  const Status written = WriteFileAtomically("a.dat", "new");
  closer.join();
  EXPECT_TRUE(written.ok()) << written.message();
  EXPECT_EQ(ReadFileBytes("a.dat"), "new");
  EXPECT_EQ(test::FolderEntryNames(), std::vector<std::string>{"a.dat"});
}

// Refused before anything is written, as on Linux.
struct Refusal {
  const char* name;
  const char* file;
  void (*prepare)(const char* file);
  const char* messagePart;
};

class WindowsFileRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(WindowsFileRefusal, ComesBeforeAnyWriteAndNamesTheFile) {
  TempWorkingDirectory folder;
  GetParam().prepare(GetParam().file);
  const Status written = WriteFileAtomically(GetParam().file, "new");
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.message().find(GetParam().messagePart), std::string::npos) << written.message();
  EXPECT_FALSE(CheckReplaceable(GetParam().file).ok());
  EXPECT_EQ(test::FolderEntryNames().size(), std::filesystem::exists(GetParam().file) ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsFileRefusal,
    testing::Values(Refusal{"ReadOnlyAttribute", "a.dat",
                            [](const char* file) {
                              WriteFileBytes(file, "old");
                              ::SetFileAttributesA(file, FILE_ATTRIBUTE_READONLY);
                            },
                            "読み取り専用"},
                    Refusal{"Folder", "a.dat",
                            [](const char* file) { std::filesystem::create_directory(file); },
                            "通常のファイルではない"},
                    Refusal{"Device", "NUL", [](const char*) {}, "通常のファイルではない"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(WindowsFiles, ADeviceIsNeverRead) {
  const Result<std::string> read = ReadWholeFile("NUL", 100);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find("通常のファイルではない"), std::string::npos) << read.message();
  EXPECT_FALSE(CheckReadable("NUL", 100).ok());
}

TEST(WindowsFiles, AHiddenFileStaysHidden) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old");
  ::SetFileAttributesA("a.dat", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(WriteFileAtomically("a.dat", "new").ok());
  EXPECT_EQ(ReadFileBytes("a.dat"), "new");
  EXPECT_NE(::GetFileAttributesA("a.dat") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// Another program has the history open (an editor, a spreadsheet): the
// message says so and to close it, and blames nothing else.
struct OtherHandle {
  const char* name;
  DWORD share;
};

class FileInUse : public testing::TestWithParam<OtherHandle> {};

TEST_P(FileInUse, IsNamedAsTheOnlyCause) {
  TempWorkingDirectory folder;
  const std::string before = test::HistoryUpTo(20);
  WriteFileBytes(kHistoryFileName, before);
  const HANDLE other = ::CreateFileA(kHistoryFileName, GENERIC_READ, GetParam().share, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  DrawHistory history;
  const Status loaded = history.Load();
  const Result<Registration> registered =
      RegisterWinningNumber(history, RegistrationTarget::NextDraw(), "123");
  ::CloseHandle(other);
  // Without read sharing the history cannot even be read.
  const Status failed = loaded.ok() ? registered.status() : loaded;
  ASSERT_FALSE(failed.ok());
  EXPECT_TRUE(failed.fileInUse()) << failed.message();
  EXPECT_NE(failed.message().find("ほかのプログラムが使っている"), std::string::npos)
      << failed.message();
  EXPECT_NE(failed.message().find("閉じて"), std::string::npos) << failed.message();
  for (const char* wrongCause : {"権限", "空き容量", "作って", "作り直"})
    EXPECT_EQ(failed.message().find(wrongCause), std::string::npos) << failed.message();
  EXPECT_FALSE(registered.ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), before);
}

INSTANTIATE_TEST_SUITE_P(
    Sharing, FileInUse,
    testing::Values(OtherHandle{"None", 0}, OtherHandle{"Read", FILE_SHARE_READ},
                    OtherHandle{"ReadAndWrite", FILE_SHARE_READ | FILE_SHARE_WRITE}),
    [](const testing::TestParamInfo<OtherHandle>& info) { return info.param.name; });

// Another process holds the lock: LockFileEx keeps this one out until it lets
// go.
TEST(WindowsFolderLock, IsExclusiveBetweenTwoProcesses) {
  TempWorkingDirectory folder;
  {
    const test::LockHolder otherWriter;
    const Result<FolderLock> refused = FolderLock::Acquire(".", std::chrono::milliseconds(200));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.what(), AnotherWriterMessage());
  }
  EXPECT_TRUE(FolderLock::Acquire(".", std::chrono::milliseconds(200)).ok());
}

// A clean-up that deletes or replaces the lock file while a writer holds it
// would let a second writer in on a new file: Windows refuses both until the
// writer lets go.
TEST(WindowsFolderLock, ItsFileCannotBeDeletedOrReplacedWhileHeld) {
  TempWorkingDirectory folder;
  WriteFileBytes("other", "");
  {
    const Result<FolderLock> held = FolderLock::Acquire(".");
    ASSERT_TRUE(held.ok()) << held.message();
    EXPECT_EQ(::DeleteFileA(FolderLock::kLockFileName), 0);
    EXPECT_EQ(::MoveFileExA("other", FolderLock::kLockFileName, MOVEFILE_REPLACE_EXISTING), 0);
    EXPECT_TRUE(std::filesystem::exists("other"));
  }
  EXPECT_NE(::DeleteFileA(FolderLock::kLockFileName), 0);
  EXPECT_TRUE(FolderLock::Acquire(".", std::chrono::milliseconds(200)).ok());
}

}  // namespace
}  // namespace kitebar
