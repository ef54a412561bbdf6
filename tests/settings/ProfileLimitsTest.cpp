// Settings files beyond what the program writes: values far longer than the
// buffers, files of megabytes, binary bytes and NULs, lines ending in a bare
// CR. Reads stay within their buffers and a value written reads back.
#include <gtest/gtest.h>

#include <string>

#include "common/FileLimits.h"
#include "settings/PrivateProfile.h"
#include "settings/SettingsFiles.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kFile[] = "./base.ini";

struct ProfileCase {
  const char* name;
  std::string contents;
  std::string stepNum;  // "StepNum" "num" as read with capacity 16
};

class ProfileLimits : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileLimits, ReadsWithinTheBufferAndAWrittenValueReadsBack) {
  TempWorkingDirectory folder;
  const ProfileCase& c = GetParam();
  WriteFileBytes(kFile, c.contents);
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "40", 16), c.stepNum);

  ASSERT_TRUE(WritePrivateProfileString("Diameter", "f", "25.0", kFile));
  ASSERT_TRUE(WritePrivateProfileString("StepNum", "num", "77", kFile));
  EXPECT_EQ(ReadProfileString(kFile, "Diameter", "f", "", 16), "25.0");
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "", 16), "77");
  EXPECT_EQ(ReadStepNum(), 77);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileLimits,
    testing::Values(
        // Room is left for the two values that the test writes.
        ProfileCase{"ValueNearTheSizeLimit",
                    "[StepNum]\r\nnum=" + std::string(kMaxSettingsFileBytes - 100, '7') + "\r\n",
                    std::string(15, '7')},
        ProfileCase{"LineNearTheSizeLimitBeforeTheSection",
                    std::string(kMaxSettingsFileBytes - 100, 'x') + "\r\n[StepNum]\r\nnum=45\r\n",
                    "45"},
        ProfileCase{"NulEndsTheValue",
                    std::string("[StepNum]\r\nnum=4\0"
                                "5\r\n",
                                20),
                    "4"},
        ProfileCase{"BinaryBytesAroundTheSection",
                    "\xef\xbb\xbf\xff\xfe\r\n[StepNum]\r\nnum=46\r\n\x80\x81=\x82\r\n", "46"},
        ProfileCase{"BareCarriageReturns", "[StepNum]\rnum=47\r[Diameter]\rf=30.0\r", "47"},
        ProfileCase{"NoLineEndAtAll", "[StepNum]", "40"}),
    [](const testing::TestParamInfo<ProfileCase>& info) { return info.param.name; });

TEST(ProfileLimits, OverlongValuesOfTheOtherKeysSurviveAWrite) {
  TempWorkingDirectory folder;
  const std::string longUrl = "http://" + std::string(60000, 'a') + "/";
  WriteFileBytes(kFile, "[TvalUrl]\r\nBaseURL=" + longUrl + "\r\n");
  ASSERT_TRUE(WriteEndUrl("num3-h2015.html"));
  EXPECT_EQ(ReadProfileString(kFile, "TvalUrl", "BaseURL", "", 1 << 20), longUrl);
  // The import reads the address with its own capacity: cut, never overrun.
  EXPECT_EQ(ReadBaseUrl().size(), 255u);
  EXPECT_EQ(ReadEndUrl().name, "num3-h2015.html");
}

// A file far beyond any real settings file reads as missing (the defaults)
// and is never rewritten; the folder check names it.
TEST(ProfileLimits, AFileOverTheSizeLimitIsNeitherReadNorWritten) {
  TempWorkingDirectory folder;
  const std::string contents = "[StepNum]\r\nnum=45\r\n" + std::string(kMaxSettingsFileBytes, 'x');
  WriteFileBytes(kFile, contents);
  EXPECT_EQ(ReadStepNum(), 40);
  const Status written = WritePrivateProfileString("StepNum", "num", "77", kFile);
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.message().find("base.ini"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kFile), contents);
}

// A write that would take the file past the size limit would leave every
// reader with the defaults and every writer refusing: it is refused itself,
// while one that ends at the limit goes through.
TEST(ProfileLimits, AWriteThatWouldPassTheSizeLimitIsRefused) {
  const std::string head = "[StepNum]\r\nnum=4\r\n;";
  for (const std::size_t after :
       {kMaxSettingsFileBytes - 1, kMaxSettingsFileBytes, kMaxSettingsFileBytes + 1}) {
    TempWorkingDirectory folder;
    // Writing "45" in place of "4" adds one byte.
    const std::string contents = head + std::string(after - 1 - head.size() - 2, 'x') + "\r\n";
    WriteFileBytes(kFile, contents);
    const Status written = WritePrivateProfileString("StepNum", "num", "45", kFile);
    if (after <= kMaxSettingsFileBytes) {
      ASSERT_TRUE(written.ok()) << after << ": " << written.message();
      EXPECT_EQ(ReadFileBytes(kFile).size(), after);
      EXPECT_EQ(ReadStepNum(), 45) << after;
    } else {
      EXPECT_NE(written.message().find("上限"), std::string::npos) << written.message();
      EXPECT_EQ(ReadFileBytes(kFile), contents);
      EXPECT_EQ(ReadStepNum(), 4);
    }
  }
}

}  // namespace
}  // namespace kitebar
