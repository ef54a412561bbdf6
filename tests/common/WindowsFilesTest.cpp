#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FolderLock.h"
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

// Another process holds the lock: LockFileEx keeps this one out until it lets
// go.
TEST(WindowsFolderLock, IsExclusiveBetweenTwoProcesses) {
  TempWorkingDirectory folder;
  {
    const test::LockHolder otherWriter;
    const Result<FolderLock> refused = FolderLock::Acquire(".", std::chrono::milliseconds(200));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), AnotherWriterMessage());
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
