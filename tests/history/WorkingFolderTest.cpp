#include "history/WorkingFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "history/DrawHistory.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kSample[] = "sample.csv";
constexpr const char* kSampleCsv = "1,123\n2,456\n";

// What a first start finds, and what the folder holds after it.
struct FirstStart {
  const char* name;
  const char* folder;
  const char* existingHistory;  // nullptr: none
  const char* sample;           // nullptr: none
  bool prepared;
  const char* historyAfter;  // nullptr: none
  const char* failure = "";
};

class WorkingFolderPreparation : public testing::TestWithParam<FirstStart> {};

TEST_P(WorkingFolderPreparation, FillsANewFolderAndNeverTouchesAHistory) {
  const FirstStart& start = GetParam();
  TempWorkingDirectory base;
  if (start.sample != nullptr)
    WriteFileBytes(kSample, start.sample);
  const std::filesystem::path folder = start.folder;
  if (start.existingHistory != nullptr) {
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / kHistoryFileName, start.existingHistory);
  }
  const Result<FolderPreparation> prepared = PrepareWorkingFolder(folder, kSample);
  EXPECT_EQ(prepared.ok(), start.prepared) << prepared.message();
  if (prepared.ok()) {
    EXPECT_EQ(*prepared == FolderPreparation::kFilled,
              start.existingHistory == nullptr && start.historyAfter != nullptr);
  } else {
    EXPECT_NE(prepared.message().find(start.failure), std::string::npos) << prepared.message();
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  if (start.historyAfter == nullptr) {
    EXPECT_FALSE(std::filesystem::exists(folder / kHistoryFileName));
  } else {
    EXPECT_EQ(ReadFileBytes(folder / kHistoryFileName), start.historyAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkingFolderPreparation,
    testing::Values(
        FirstStart{"NewFolder", "data/kitebar", nullptr, kSampleCsv, true,
                   "0001,123\r\n0002,456\r\n"},
        FirstStart{"HistoryKept", "kitebar", "0001,999\r\n", kSampleCsv, true, "0001,999\r\n"},
        FirstStart{"EmptyHistoryKept", "kitebar", "", kSampleCsv, true, ""},
        FirstStart{"NoSample", "kitebar", nullptr, nullptr, false, nullptr, "sample.csv"},
        // The CSV's damage, by its name and line.
        FirstStart{"DamagedSample", "kitebar", nullptr, "1,123\n2,45x\n", false, nullptr,
                   "「sample.csv」の 2 行目"}),
    [](const testing::TestParamInfo<FirstStart>& info) { return info.param.name; });

#ifdef _WIN32
TEST(DefaultWorkingFolder, IsKitebarInTheLocalApplicationData) {
  const Result<std::filesystem::path> folder = DefaultWorkingFolder();
  ASSERT_TRUE(folder.ok()) << folder.message();
  EXPECT_EQ(folder->filename(), "Kitebar");
  const wchar_t* localAppData = ::_wgetenv(L"LOCALAPPDATA");
  ASSERT_NE(localAppData, nullptr);
  EXPECT_TRUE(std::filesystem::equivalent(folder->parent_path(), localAppData));
}
#else
// The rule of kitebar-launch.
struct Environment {
  const char* name;
  const char* dataHome;  // nullptr: unset
  const char* home;
  const char* folder;  // nullptr: none
};

class DefaultWorkingFolderRule : public testing::TestWithParam<Environment> {};

void SetOrUnset(const char* name, const char* value) {
  if (value == nullptr)
    ::unsetenv(name);
  else
    ::setenv(name, value, 1);
}

TEST_P(DefaultWorkingFolderRule, FollowsTheLauncher) {
  const std::string dataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  SetOrUnset("XDG_DATA_HOME", GetParam().dataHome);
  SetOrUnset("HOME", GetParam().home);
  const Result<std::filesystem::path> folder = DefaultWorkingFolder();
  SetOrUnset("XDG_DATA_HOME", dataHome.empty() ? nullptr : dataHome.c_str());
  SetOrUnset("HOME", home.empty() ? nullptr : home.c_str());
  ASSERT_EQ(folder.ok(), GetParam().folder != nullptr);
  if (folder.ok()) {
    EXPECT_EQ(folder->string(), GetParam().folder);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DefaultWorkingFolderRule,
    testing::Values(Environment{"AbsoluteDataHome", "/data", "/home/u", "/data/kitebar"},
                    Environment{"RelativeDataHome", "relative", "/home/u",
                                "/home/u/.local/share/kitebar"},
                    Environment{"EmptyDataHome", "", "/home/u", "/home/u/.local/share/kitebar"},
                    Environment{"NoDataHome", nullptr, "/home/u", "/home/u/.local/share/kitebar"},
                    Environment{"NeitherSet", nullptr, nullptr, nullptr},
                    Environment{"EmptyHome", "rel", "", nullptr}),
    [](const testing::TestParamInfo<Environment>& info) { return info.param.name; });
#endif

}  // namespace
}  // namespace kitebar
