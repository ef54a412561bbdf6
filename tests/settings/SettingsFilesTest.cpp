#include "settings/SettingsFiles.h"

#include <gtest/gtest.h>

#include <clocale>

#include "common/NumberText.h"
#include "settings/PrivateProfile.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;
using test::WriteFileBytes;

TEST(SettingsFiles, WithoutFilesEveryReaderGivesItsDefault) {
  TempWorkingDirectory folder;
  EXPECT_EQ(ReadStartIndex(), 0);
  EXPECT_EQ(ReadEndRate(), 1);
  EXPECT_EQ(ReadStepNum(), 40);
  EXPECT_FLOAT_EQ(ReadDiameter(), 30.0f);
  EXPECT_EQ(ReadSysType(3), 0);
  EXPECT_EQ(ReadEndUrl().name, "er");
  EXPECT_EQ(ReadEndUrl().length, 2u);
  EXPECT_EQ(ReadBaseUrl(), "http://localhost/numbers/");
  for (int set = 0; set < kSettingsTypeCount; ++set) {
    EXPECT_EQ(ReadEndPoint(set, kEndPointCapacityEngine), "238");
    for (int place = 1; place <= kPlaceCount; ++place) {
      EXPECT_FLOAT_EQ(ReadReachPoint(set, place), 2.0f);
      EXPECT_FLOAT_EQ(ReadHitPoint(set, place), 11.5f);
      EXPECT_EQ(ReadSpeedRate(set, place), 2);
    }
  }
}

TEST(SettingsFiles, ValuesConvertAsAtoiAndAtofAndAreCutAtCapacity) {
  TempWorkingDirectory folder;
  WriteFileBytes(kBaseIniFile,
                 "[StepNum]\r\nnum=abc\r\n[Diameter]\r\nf= 12.5mm\r\n"
                 "[EndRate]\r\nnum=9\r\n[StartIndex]\r\nindex=12345\r\n");
  WriteFileBytes("./type3.ini", "[EndPoint]\r\nnum=23885\r\n[SpeedRate2]\r\nnum=7\r\n");
  EXPECT_EQ(ReadStepNum(), 0);
  EXPECT_FLOAT_EQ(ReadDiameter(), 12.5f);
  EXPECT_EQ(ReadEndRate(), 9);
  EXPECT_EQ(ReadStartIndex(), 123);  // three characters are read
  EXPECT_EQ(ReadEndPoint(2, kEndPointCapacityEngine), "2388");
  EXPECT_EQ(ReadEndPoint(2, kEndPointCapacityDialog), "23885");
  EXPECT_EQ(ReadSpeedRate(2, 2), 7);
  EXPECT_EQ(SettingsTypeFile(0), "./type1.ini");
  EXPECT_EQ(SettingsTypeFile(4), "./type5.ini");
}

TEST(SettingsFiles, ListingFollowsTableOrder) {
  TempWorkingDirectory folder;
  const std::vector<SettingsEntry> entries = ReadAllSettings();
  ASSERT_EQ(entries.size(), 11u + 5u * 13u);
  EXPECT_EQ(entries[2].section, "StepNum");
  EXPECT_EQ(entries[2].text, "40");
  EXPECT_EQ(entries[9].key, "BaseURL");
  EXPECT_EQ(entries[9].text, "http://localhost/numbers/");
  EXPECT_EQ(entries[10].key, "EndURL");
  EXPECT_EQ(entries[11].file, "./type1.ini");
  EXPECT_EQ(entries[11].section, "EndPoint");
  EXPECT_EQ(entries[15].section, "Toutatu4");
  EXPECT_EQ(entries[23].section, "SpeedRate4");
  EXPECT_EQ(entries.back().file, "./type5.ini");
}

// A desktop program runs under the user's locale, where the decimal separator
// may be a comma; the files must not notice.
TEST(NumberText, ConversionIgnoresTheProcessLocale) {
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      comma = name;
      break;
    }
  }
  if (comma == nullptr)
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_DOUBLE_EQ(ParseDoubleLikeAtof("2.00"), 2.0);
  EXPECT_DOUBLE_EQ(ParseDoubleLikeAtof("11.5"), 11.5);
  EXPECT_EQ(FormatFixed(11.5, 2), "11.50");
  EXPECT_EQ(FormatFixed(30.0, 1), "30.0");
  std::setlocale(LC_ALL, "C");
}

TEST(NumberText, ParsesAsTheCFunctionsDo) {
  struct IntCase {
    const char* text;
    int value;
  };
  for (const IntCase& c :
       {IntCase{"  42x", 42}, IntCase{"-7", -7}, IntCase{"+3", 3}, IntCase{"abc", 0},
        IntCase{"", 0}, IntCase{"99999999999", INT_MAX}, IntCase{"- 5", 0}}) {
    EXPECT_EQ(ParseIntLikeAtoi(c.text), c.value) << c.text;
  }
  struct DoubleCase {
    const char* text;
    double value;
  };
  for (const DoubleCase& c :
       {DoubleCase{" 1.26", 1.26}, DoubleCase{"-2.5e1", -25.0}, DoubleCase{".5", 0.5},
        DoubleCase{"12,5", 12.0}, DoubleCase{"x1", 0.0}, DoubleCase{"1e-999", 0.0}}) {
    EXPECT_DOUBLE_EQ(ParseDoubleLikeAtof(c.text), c.value) << c.text;
  }
  EXPECT_EQ(FormatZeroPadded(7, 4), "0007");
  EXPECT_EQ(FormatFixed(1.234, 2), "1.23");
}

}  // namespace
}  // namespace kitebar
