#include "engine/Registration.h"

#include <gtest/gtest.h>

#include "history/DrawHistory.h"
#include "reports/HitReport.h"
#ifndef _WIN32
#include "support/FileSizeLimit.h"
#endif
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

class RegistrationTest : public ::testing::Test {
 protected:
  void Load(std::string_view contents) {
    WriteFileBytes(kHistoryFileName, contents);
    ASSERT_TRUE(history.Load());
  }
  TempWorkingDirectory folder;
  DrawHistory history;
};

TEST_F(RegistrationTest, NewDrawIsBackTestedThenStored) {
  Load("0001,123\r\n");
  const Result<Registration> registered = RegisterWinningNumber(history, 2, "5");
  ASSERT_TRUE(registered.ok()) << registered.message();
  EXPECT_TRUE(registered->stored);
  EXPECT_EQ(registered->padded, "005");
  EXPECT_EQ(history.count, 2);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,005,466,0\r\n");
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "2\r\n00\r\n");
}

TEST_F(RegistrationTest, CorrectionReplacesDigitsWithoutBackTest) {
  Load("0001,123\r\n0002,456,111,1\r\n");
  ASSERT_TRUE(RegisterWinningNumber(history, 2, "000").ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,000,111,1\r\n");
  EXPECT_FALSE(std::filesystem::exists(kBackTestFile));
  EXPECT_EQ(history.count, 2);
}

TEST_F(RegistrationTest, PendingRecordKeepsItsDecidedPosition) {
  Load("0001,123\r\n0002,,911,1\r\n");
  ASSERT_TRUE(RegisterWinningNumber(history, 2, "911").ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,911,911,1\r\n");
}

TEST_F(RegistrationTest, InvalidEntryStoresNothing) {
  Load("0001,123\r\n");
  const Result<Registration> registered = RegisterWinningNumber(history, 2, "1a");
  ASSERT_TRUE(registered.ok());
  EXPECT_FALSE(registered->stored);
  EXPECT_EQ(registered->padded, "01a");
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
  EXPECT_FALSE(std::filesystem::exists(kBackTestFile));
}

TEST_F(RegistrationTest, UnwritableBackTestFileLeavesTheDrawUnregistered) {
  Load("0001,123\r\n0002,,466,1\r\n");
  std::filesystem::create_directory(kBackTestFile);
  const Result<Registration> registered = RegisterWinningNumber(history, 2, "466");
  ASSERT_FALSE(registered.ok());
  EXPECT_NE(registered.message().find(kBackTestFile), std::string::npos);
  EXPECT_EQ(history.count, 1);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,1\r\n");
}

TEST_F(RegistrationTest, UnwritableHistoryKeepsCountAndFile) {
  Load("0001,123\r\n0002,456\r\n");
  std::filesystem::permissions(kHistoryFileName, std::filesystem::perms::owner_read);
  EXPECT_FALSE(RegisterWinningNumber(history, 1, "999").ok());
  EXPECT_FALSE(RegisterPosition(history, 3, "123").ok());
  EXPECT_EQ(history.count, 2);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,456\r\n");
}

#ifndef _WIN32  // RLIMIT_FSIZE: POSIX only
// The back-test entry and the winning number are both kept or both left out,
// also when the history fails part way through its write (a full disk).
TEST_F(RegistrationTest, AFailedSaveTakesTheBackTestEntryBack) {
  for (const char* entries : {"", "1\r\n00\r\n"}) {
    Load("0001,123\r\n0002,,466,1\r\n");
    std::filesystem::remove(kBackTestFile);
    if (*entries != '\0')
      WriteFileBytes(kBackTestFile, entries);
    const Result<Registration> registered = [&] {
      const test::FileSizeLimit fullDisk(20);
      return RegisterWinningNumber(history, RegistrationTarget::NextDraw(), "466");
    }();
    EXPECT_FALSE(registered.ok());
    EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,1\r\n");
    EXPECT_EQ(std::filesystem::exists(kBackTestFile), *entries != '\0');
    if (*entries != '\0') {
      EXPECT_EQ(ReadFileBytes(kBackTestFile), entries);
    }
  }
}

// The history is written first and its entry after: when the entry cannot
// be written (the disk full by then) the history is taken back.
TEST_F(RegistrationTest, AFailedEntryTakesTheHistoryBack) {
  Load("0001,123\r\n0002,,466,1\r\n");
  const std::string entries = "1\r\n00\r\n" + std::string(300, '\n');
  WriteFileBytes(kBackTestFile, entries);
  const Result<Registration> registered = [&] {
    const test::FileSizeLimit fullDisk(100);
    return RegisterWinningNumber(history, RegistrationTarget::NextDraw(), "466");
  }();
  EXPECT_FALSE(registered.ok());
  EXPECT_NE(registered.message().find("当選番号は登録されていません"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,1\r\n");
  EXPECT_EQ(ReadFileBytes(kBackTestFile), entries);
}
#endif

// A back-test file at the size its reader accepts takes no further entry:
// the registration is refused before anything is written, saying why.
TEST_F(RegistrationTest, AFullBackTestFileRefusesBeforeWriting) {
  Load("0001,123\r\n");
  const std::string full = std::string((2 << 20) - 4, '\n');
  WriteFileBytes(kBackTestFile, full);
  const Result<Registration> refused = RegisterWinningNumber(history, 2, "466");
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.cause(), Cause::kSizeLimit);
  EXPECT_NE(refused.message().find("Kitebard.dat"), std::string::npos) << refused.message();
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
  EXPECT_EQ(ReadFileBytes(kBackTestFile).size(), full.size());
}

// An entry left by a registration cut short before its history was written
// is replaced when the draw is registered, and a corrected number scores the
// draw's entries again: no entry stands for a number the history does not
// hold.
TEST_F(RegistrationTest, EntriesFollowTheNumberTheHistoryHolds) {
  Load("0001,123\r\n");
  WriteFileBytes(kBackTestFile, "2\r\n13\r\n");  // 466 was typed, then the kill
  ASSERT_TRUE(RegisterWinningNumber(history, 2, "999").ok());
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "2\r\n00\r\n");
  ASSERT_TRUE(RegisterWinningNumber(history, 2, "466").ok());
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "2\r\n13\r\n");
  EXPECT_EQ(history.record(2).digitsText(), "466");
}

TEST_F(RegistrationTest, NothingTypedIsNeverStored) {
  Load("0001,123\r\n");
  for (const char* typed : {"", " ", "\t"}) {
    const Result<Registration> registered = RegisterWinningNumber(history, 2, typed);
    ASSERT_TRUE(registered.ok());
    EXPECT_FALSE(registered->stored) << "[" << typed << "]";
  }
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
  EXPECT_FALSE(std::filesystem::exists(kBackTestFile));
}

// A draw shown as the next one that another writer registered meanwhile is
// refused, never overwritten; the command line's "next draw" follows it.
TEST_F(RegistrationTest, TheTargetIsDecidedOnTheFileAsItIsNow) {
  Load("0001,123\r\n");
  WriteFileBytes(kHistoryFileName, "0001,123\r\n0002,222\r\n");
  const Result<Registration> stale = RegisterWinningNumber(history, 2, "555");
  ASSERT_FALSE(stale.ok());
  EXPECT_NE(stale.message().find("第 2 回の当選番号は登録しませんでした"), std::string::npos);
  EXPECT_EQ(history.count, 2);
  const Result<Registration> next =
      RegisterWinningNumber(history, RegistrationTarget::NextDraw(), "555");
  ASSERT_TRUE(next.ok());
  EXPECT_EQ(next->draw, 3);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName).substr(0, 20), "0001,123\r\n0002,222\r\n");
}

TEST_F(RegistrationTest, PositionIsDecidedAndMayMakeThePendingRecord) {
  Load("0001,123\r\n");
  ASSERT_TRUE(RegisterPosition(history, 2, "7").ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,007,1\r\n");
  EXPECT_FALSE(RegisterPosition(history, 2, "x").value().stored);
  EXPECT_FALSE(RegisterPosition(history, 3, "123").ok());
  EXPECT_FALSE(RegisterWinningNumber(history, 3, "123").ok());
}

TEST_F(RegistrationTest, NoDrawBeyond9999) {
  Load("9999,123\r\n");
  EXPECT_FALSE(RegisterWinningNumber(history, 10000, "123").ok());
  EXPECT_FALSE(std::filesystem::exists(kBackTestFile));
}

}  // namespace
}  // namespace kitebar
