#include "settings/SettingsUpdates.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/CaseNames.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kDefaultSetFile[] =
    "[EndPoint]\r\nnum=238\r\n"
    "[Toutatu1]\r\nf=1.26\r\n[Toutatu2]\r\nf=1.26\r\n[Toutatu3]\r\nf=1.26\r\n"
    "[Toutatu4]\r\nf=1.26\r\n"
    "[Tekicyuten1]\r\nf=11.50\r\n[Tekicyuten2]\r\nf=11.50\r\n[Tekicyuten3]\r\nf=12.50\r\n"
    "[Tekicyuten4]\r\nf=13.50\r\n"
    "[SpeedRate1]\r\nnum=2\r\n[SpeedRate2]\r\nnum=2\r\n[SpeedRate3]\r\nnum=2\r\n"
    "[SpeedRate4]\r\nnum=2\r\n";

TEST(WindmillSettingsUpdate, DefaultsSavedAsSecondSetWriteTheWholeFileInOrder) {
  TempWorkingDirectory folder;
  WindmillSettings settings = DefaultWindmillSettings();
  ASSERT_TRUE(UpdateWindmillSettings(1, settings));
  EXPECT_EQ(ReadFileBytes("./type2.ini"), kDefaultSetFile);
  EXPECT_FALSE(std::filesystem::exists("./type1.ini"));
}

TEST(WindmillSettingsUpdate, DecimalsAreSavedWithTwoDecimalsAndReadBack) {
  TempWorkingDirectory folder;
  WindmillSettings settings = DefaultWindmillSettings();
  settings.startToReach[1] = 1.234f;
  settings.startToHit[2] = 16.0f;
  settings.startToHit[3] = 12.345678f;
  ASSERT_TRUE(UpdateWindmillSettings(0, settings));
  const std::string file = ReadFileBytes("./type1.ini");
  EXPECT_NE(file.find("[Toutatu2]\r\nf=1.23\r\n"), std::string::npos);
  EXPECT_NE(file.find("[Tekicyuten3]\r\nf=16.00\r\n"), std::string::npos);
  EXPECT_NE(file.find("[Tekicyuten4]\r\nf=12.35\r\n"), std::string::npos);
  EXPECT_FLOAT_EQ(settings.startToReach[1], 1.23f);
  EXPECT_FLOAT_EQ(settings.startToHit[3], 12.35f);
}

TEST(WindmillSettingsUpdate, OverlongStopConstantIsRefusedAndNothingWritten) {
  TempWorkingDirectory folder;
  WriteFileBytes("./type3.ini", "[EndPoint]\r\nnum=23885\r\n");
  WindmillSettings settings = LoadWindmillSettings(2);
  EXPECT_EQ(settings.stopConstant, "23885");
  settings.startToReach[1] = 3.0f;
  const Status status = UpdateWindmillSettings(2, settings);
  EXPECT_EQ(status.message(), kStopConstantTooLong);
  EXPECT_EQ(ReadFileBytes("./type3.ini"), "[EndPoint]\r\nnum=23885\r\n");

  settings.stopConstant = "1234";
  EXPECT_FALSE(UpdateWindmillSettings(2, settings));
  settings.stopConstant = "1\n[";
  EXPECT_EQ(UpdateWindmillSettings(2, settings).message(), kStopConstantUnwritable);
  EXPECT_EQ(ReadFileBytes("./type3.ini"), "[EndPoint]\r\nnum=23885\r\n");
  settings.stopConstant = "123";
  EXPECT_TRUE(UpdateWindmillSettings(2, settings));
}

TEST(WindmillSettingsLoad, MissingFileGivesTheReaderDefaults) {
  TempWorkingDirectory folder;
  const WindmillSettings settings = LoadWindmillSettings(2);
  EXPECT_EQ(settings.stopConstant, "238");
  for (int place = 0; place < kPlaceCount; ++place) {
    EXPECT_FLOAT_EQ(settings.startToReach[place], 2.0f);
    EXPECT_FLOAT_EQ(settings.startToHit[place], 11.5f);
    EXPECT_EQ(settings.speedIndex[place], 2);
  }
}

TEST(WindmillSettingsLoad, OutOfRangeSpeedReadsAsNormalAndIsSavedAsTwo) {
  TempWorkingDirectory folder;
  WriteFileBytes("./type1.ini",
                 "[SpeedRate3]\r\nnum=9\r\n[SpeedRate2]\r\nnum=-1\r\n[SpeedRate4]\r\nnum=4\r\n");
  WindmillSettings settings = LoadWindmillSettings(0);
  EXPECT_EQ(settings.speedIndex, (std::array<int, 4>{2, 2, 2, 4}));
  ASSERT_TRUE(UpdateWindmillSettings(0, settings));
  const std::string file = ReadFileBytes("./type1.ini");
  EXPECT_NE(file.find("[SpeedRate3]\r\nnum=2\r\n"), std::string::npos);
  EXPECT_NE(file.find("[SpeedRate4]\r\nnum=4\r\n"), std::string::npos);
}

// Selections beyond the fourth set all mean the fifth file.
TEST(WindmillSettingsLoad, SelectionsMapToSetFiles) {
  EXPECT_EQ(SettingsTypeOfSelection(0), 0);
  EXPECT_EQ(SettingsTypeOfSelection(3), 3);
  EXPECT_EQ(SettingsTypeOfSelection(4), 4);
  EXPECT_EQ(SettingsTypeOfSelection(7), 4);
  EXPECT_EQ(SettingsTypeOfSelection(-1), 4);
}

struct CoreCase {
  int stepNum;
  float diameter;
  const char* stepText;
  const char* diameterText;
};

class CoreSettingsUpdate : public testing::TestWithParam<CoreCase> {};

TEST_P(CoreSettingsUpdate, ReplacesStepAndDiameterBeforeWriting) {
  TempWorkingDirectory folder;
  CoreSettings settings{3, GetParam().stepNum, GetParam().diameter};
  ASSERT_TRUE(UpdateCoreSettings(settings));
  EXPECT_EQ(ReadFileBytes("./base.ini"),
            std::string("[EndRate]\r\nnum=3\r\n[StepNum]\r\nnum=") + GetParam().stepText +
                "\r\n[Diameter]\r\nf=" + GetParam().diameterText + "\r\n");
  EXPECT_EQ(LoadCoreSettings().stepNum, settings.stepNum);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CoreSettingsUpdate,
    testing::Values(CoreCase{0, 5.0f, "40", "10.0"}, CoreCase{-7, 75.0f, "40", "50.0"},
                    CoreCase{1, 10.0f, "1", "10.0"}, CoreCase{300, 50.0f, "300", "50.0"},
                    CoreCase{55, 30.0f, "55", "30.0"}, CoreCase{40, 9.99f, "40", "10.0"},
                    CoreCase{40, 50.01f, "40", "50.0"}, CoreCase{40, 25.26f, "40", "25.3"}),
    [](const testing::TestParamInfo<CoreCase>& info) {
      return test::CaseName(std::string("Step ") + std::to_string(info.param.stepNum) +
                                " Diameter " + info.param.diameterText,
                            info.index);
    });

TEST(CoreSettingsLoad, AdjustRateOutsideItsRangeReadsAsTwo) {
  TempWorkingDirectory folder;
  EXPECT_EQ(LoadCoreSettings().adjustRate, 1);
  WriteFileBytes("./base.ini", "[EndRate]\r\nnum=9\r\n");
  EXPECT_EQ(LoadCoreSettings().adjustRate, 2);
  WriteFileBytes("./base.ini", "[EndRate]\r\nnum=4\r\n");
  EXPECT_EQ(LoadCoreSettings().adjustRate, 4);
}

TEST(SetSelector, WritesItsOwnKeyOnly) {
  TempWorkingDirectory folder;
  WriteFileBytes("./base.ini", "[StepNum]\r\nnum=50\r\n");
  ASSERT_TRUE(WriteSetSelector(3, 4));
  EXPECT_EQ(ReadFileBytes("./base.ini"), "[StepNum]\r\nnum=50\r\n[SysType3]\r\nindex=4\r\n");
  EXPECT_EQ(ReadSysType(3), 4);
}

TEST(SettingsWrites, FailureIsReportedAndStopsTheUpdate) {
  TempWorkingDirectory folder;
  // A folder in the place of the file makes every write fail.
  std::filesystem::create_directory("./type4.ini");
  WindmillSettings settings = DefaultWindmillSettings();
  settings.startToReach[1] = 1.234f;
  const Status status = UpdateWindmillSettings(3, settings);
  EXPECT_FALSE(status);
  EXPECT_NE(status.message().find("設定を保存できません"), std::string::npos);
  EXPECT_FLOAT_EQ(settings.startToReach[1], 1.234f);

  std::filesystem::create_directory("./base.ini");
  CoreSettings core{1, 40, 30.0f};
  EXPECT_FALSE(UpdateCoreSettings(core));
  EXPECT_FALSE(WriteSetSelector(1, 0));
}

}  // namespace
}  // namespace kitebar
