#include "settings/PrivateProfile.h"

#include <gtest/gtest.h>

#include <array>

#include "support/FileSizeLimit.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kFile[] = "./base.ini";

TEST(PrivateProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
  TempWorkingDirectory folder;
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "40", 16), "40");
  WriteFileBytes(kFile, "[Other]\r\nnum=7\r\n[StepNum]\r\nf=3\r\n");
  EXPECT_EQ(ReadProfileString(kFile, "Missing", "num", "40", 16), "40");
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "40", 16), "40");
}

TEST(PrivateProfileRead, NamesMatchWithoutCaseAndBlanksAreNotPartOfNamesOrValues) {
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, "  [ stepnum ]  \nNUM =  55  \n[Diameter]\r\nf=12.5\r\n");
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "40", 16), "55");
  EXPECT_EQ(ReadProfileString(kFile, "DIAMETER", "F", "30.0", 16), "12.5");
}

TEST(PrivateProfileRead, ValueIsCutToCapacityLessOneAndCountReturned) {
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, "[EndPoint]\r\nnum=23885\r\n");
  struct Case {
    std::size_t capacity;
    const char* expected;
  };
  for (const Case& c : {Case{0, ""}, Case{1, ""}, Case{4, "238"}, Case{5, "2388"}, Case{6, "23885"},
                        Case{7, "23885"}}) {
    std::array<char, 8> buffer;
    buffer.fill('#');
    const std::size_t copied = GetPrivateProfileString(
        "EndPoint", "num", "238", std::span<char>(buffer.data(), c.capacity), kFile);
    EXPECT_EQ(std::string(buffer.data(), copied), c.expected) << "capacity " << c.capacity;
    if (c.capacity > 0) {
      EXPECT_EQ(buffer[copied], '\0');
    } else {
      EXPECT_EQ(buffer[0], '#');
    }
  }
  // The default is cut the same way; the import relies on its count.
  std::array<char, 2> small{};
  EXPECT_EQ(GetPrivateProfileString("TvalUrl", "EndURL", "er", small, kFile), 1u);
}

TEST(PrivateProfileWrite, CreatesFileThenAppendsSectionsAndKeysInOrder) {
  TempWorkingDirectory folder;
  ASSERT_TRUE(WritePrivateProfileString("EndRate", "num", "1", kFile));
  ASSERT_TRUE(WritePrivateProfileString("StepNum", "num", "40", kFile));
  ASSERT_TRUE(WritePrivateProfileString("EndRate", "extra", "x", kFile));
  EXPECT_EQ(ReadFileBytes(kFile), "[EndRate]\r\nnum=1\r\nextra=x\r\n[StepNum]\r\nnum=40\r\n");
}

TEST(PrivateProfileWrite, ReplacesTheValueInItsLineAndKeepsEveryOtherLine) {
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, "; note\n[StepNum]\nNum = 40\n\n[Diameter]\r\nf=30.0\r\nodd line");
  ASSERT_TRUE(WritePrivateProfileString("stepnum", "num", "55", kFile));
  ASSERT_TRUE(WritePrivateProfileString("Diameter", "g", "1", kFile));
  EXPECT_EQ(ReadFileBytes(kFile),
            "; note\n[StepNum]\nNum=55\n\n[Diameter]\r\nf=30.0\r\nodd line\r\ng=1\r\n");
  EXPECT_EQ(ReadProfileString(kFile, "StepNum", "num", "", 16), "55");
}

TEST(PrivateProfileWrite, FailureLeavesTheOldFileAsItWas) {
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, "[StepNum]\r\nnum=40\r\n");
  // The new file cannot be written whole, as on a full disk.
  const test::FileSizeLimit limit(8);
  EXPECT_FALSE(WritePrivateProfileString("StepNum", "num", "41", kFile));
  EXPECT_EQ(ReadFileBytes(kFile), "[StepNum]\r\nnum=40\r\n");
}

}  // namespace
}  // namespace kitebar
