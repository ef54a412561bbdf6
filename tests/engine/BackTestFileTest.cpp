// The back-test file across interruptions and at size: an entry is whole or
// absent, a registration repeated after an interrupted one leaves one entry
// for its draw, and a file of 100,000 entries is kept and reported.
#include <gtest/gtest.h>

#include <string>

#include "engine/BackTest.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "reports/HitReport.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

class BackTestFileTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(kHistoryFileName, "0001,123\r\n");
    ASSERT_TRUE(history_.Load());
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

// A registration killed after its back-test but before the history was saved
// leaves the draw's entry at the end; registering the draw again must not
// count it twice.
TEST_F(BackTestFileTest, RegisteringADrawAgainReplacesItsLastEntry) {
  WriteFileBytes(kBackTestFile, "1\r\n00\r\n2\r\n00\r\n");
  const Result<Registration> registered = RegisterWinningNumber(history_, 2, "466");
  ASSERT_TRUE(registered.ok()) << registered.message();
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "1\r\n00\r\n2\r\n13\r\n");
}

TEST_F(BackTestFileTest, EntriesOfOtherDrawsStay) {
  for (const char* before : {"", "2\r\n00\r\n1\r\n00\r\n", "12\r\n00\r\n", "x2\r\n00\r\n"}) {
    WriteFileBytes(kBackTestFile, before);
    ASSERT_TRUE(BackTestDraw(history_, 2, "466", false).ok());
    EXPECT_EQ(ReadFileBytes(kBackTestFile), std::string(before) + "2\r\n13\r\n") << before;
  }
}

// The report counts the entries of the draws that the history holds, the
// last one of each draw: no hit is shown for a draw the history lacks.
TEST_F(BackTestFileTest, AnEntryJoinsAFileOf100000Entries) {
  WriteFileBytes(kHistoryFileName, test::HistoryUpTo(9999));
  ASSERT_TRUE(history_.Load());
  std::string records;
  for (int n = 1; n <= 100000; ++n)
    records += std::to_string(n) + (n % 10 == 0 ? "\r\n13\r\n" : "\r\n00\r\n");
  WriteFileBytes(kBackTestFile, records);
  ASSERT_TRUE(BackTestDraw(history_, 2, "466", false).ok());
  EXPECT_EQ(ReadFileBytes(kBackTestFile).substr(0, records.size()), records);

  const Result<HitTallies> tallies = WriteHitReport(HitReportVariant::kRunning, true, nullptr);
  ASSERT_TRUE(tallies.ok()) << tallies.message();
  EXPECT_EQ(tallies->draws, 9999);
  EXPECT_EQ(tallies->lastDrawNumber, 2);
  EXPECT_NE(tallies->notice.find("90001 件"), std::string::npos) << tallies->notice;
  EXPECT_NE(tallies->notice.find("重なっていた 1 件"), std::string::npos) << tallies->notice;
}

}  // namespace
}  // namespace kitebar
