// The copy that a repair keeps of the damaged history: made only when the
// repair can go on, and never over an earlier copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "history/HistoryRepair.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kFile[] = "kitebarnum.dat";
constexpr char kTimestamp[] = "20261207-200000";

std::string BackupName(int attempt) {
  return std::string(kFile) + "." + kTimestamp +
         (attempt > 1 ? "-" + std::to_string(attempt) : std::string()) + ".bak";
}

TEST(RepairBackup, IsMadeOnlyWhenTheRepairCanSaveAndUnderAFreeName) {
  struct Case {
    const char* name;
    int earlierCopies;  // copies 1 to N exist already
    bool readOnly;
    int chosen;  // 0: the repair is refused and writes nothing
  };
  for (const Case& c :
       {Case{"NoEarlierCopy", 0, false, 1}, Case{"TwoEarlierCopies", 2, false, 3},
        Case{"AllButTheLastNameTaken", 98, false, 99}, Case{"EveryNameTaken", 99, false, 0},
        Case{"ReadOnlyHistory", 0, true, 0}}) {
    TempWorkingDirectory folder;
    const std::string damaged = test::HistoryUpTo(30) + "0005,999\r\n";
    WriteFileBytes(kFile, damaged);
    for (int copy = 1; copy <= c.earlierCopies; ++copy)
      WriteFileBytes(BackupName(copy), "earlier copy");
    if (c.readOnly) {
      std::filesystem::permissions(kFile,
                                   std::filesystem::perms::owner_write |
                                       std::filesystem::perms::group_write |
                                       std::filesystem::perms::others_write,
                                   std::filesystem::perm_options::remove);
    }
    const std::size_t entriesBefore = test::FolderEntryNames().size();

    const Result<HistoryRepair> repaired = RepairHistory(kFile, kTimestamp);
    ASSERT_EQ(repaired.ok(), c.chosen > 0) << c.name << ": " << repaired.message();
    for (int copy = 1; copy <= c.earlierCopies; ++copy)
      EXPECT_EQ(ReadFileBytes(BackupName(copy)), "earlier copy") << c.name << " " << copy;
    if (c.chosen > 0) {
      EXPECT_EQ(repaired->backup, BackupName(c.chosen)) << c.name;
      EXPECT_EQ(ReadFileBytes(BackupName(c.chosen)), damaged) << c.name;
      EXPECT_EQ(ReadFileBytes(kFile), test::HistoryUpTo(30)) << c.name;
    } else {
      EXPECT_EQ(ReadFileBytes(kFile), damaged) << c.name;
      // The lock file is the only new entry.
      EXPECT_EQ(test::FolderEntryNames().size(), entriesBefore + 1) << c.name;
    }
  }
}

}  // namespace
}  // namespace kitebar
