#include "settings/PrivateProfile.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#ifndef _WIN32
#include "support/FileSizeLimit.h"
#endif
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

// How Notepad saves a file: a UTF-8 file with a byte order mark is the same
// file and keeps its mark; a UTF-16 one is named and left as it is.
struct SavedByNotepad {
  const char* name;
  std::string contents;
  const char* read;  // BaseURL as read
  bool written;
  std::string after;  // the file after writing EndURL=p1
};

class NotepadEncodings : public testing::TestWithParam<SavedByNotepad> {};

TEST_P(NotepadEncodings, MarkedUtf8ReadsAsItselfAndUtf16IsNamed) {
  const SavedByNotepad& saved = GetParam();
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, saved.contents);
  EXPECT_EQ(ReadProfileString(kFile, "TvalUrl", "BaseURL", "default", 64), saved.read);
  const Status written = WritePrivateProfileString("TvalUrl", "EndURL", "p1", kFile);
  EXPECT_EQ(written.ok(), saved.written) << written.message();
  EXPECT_EQ(CheckProfileEncoding(kFile).ok(), saved.written);
  if (!saved.written) {
    EXPECT_NE(written.message().find("「base.ini」は UTF-16"), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(kFile), saved.after);
}

const std::string kUtf16Le("\xFF\xFE[\0T\0]\0\r\0\n\0", 12);

INSTANTIATE_TEST_SUITE_P(
    Files, NotepadEncodings,
    testing::Values(SavedByNotepad{"Utf8", "[TvalUrl]\r\nBaseURL=http://a/\r\n", "http://a/", true,
                                   "[TvalUrl]\r\nBaseURL=http://a/\r\nEndURL=p1\r\n"},
                    SavedByNotepad{"Utf8WithMark", "\xEF\xBB\xBF[TvalUrl]\r\nBaseURL=http://a/\r\n",
                                   "http://a/", true,
                                   "\xEF\xBB\xBF[TvalUrl]\r\nBaseURL=http://a/\r\nEndURL=p1\r\n"},
                    SavedByNotepad{"MarkOnly", "\xEF\xBB\xBF", "default", true,
                                   "\xEF\xBB\xBF[TvalUrl]\r\nEndURL=p1\r\n"},
                    SavedByNotepad{"Utf16", kUtf16Le, "default", false, kUtf16Le},
                    SavedByNotepad{"Utf16BigEndian", std::string("\xFE\xFF\0[\0T", 6), "default",
                                   false, std::string("\xFE\xFF\0[\0T", 6)},
                    // A write after it would make it a file that reads as UTF-16.
                    SavedByNotepad{"ZeroByteAlone", std::string(1, '\0'), "default", false,
                                   std::string(1, '\0')}),
    [](const testing::TestParamInfo<SavedByNotepad>& info) { return info.param.name; });

#ifndef _WIN32  // RLIMIT_FSIZE: POSIX only
TEST(PrivateProfileWrite, FailureLeavesTheOldFileAsItWas) {
  TempWorkingDirectory folder;
  WriteFileBytes(kFile, "[StepNum]\r\nnum=40\r\n");
  // The new file cannot be written whole, as on a full disk.
  const test::FileSizeLimit limit(8);
  EXPECT_FALSE(WritePrivateProfileString("StepNum", "num", "41", kFile));
  EXPECT_EQ(ReadFileBytes(kFile), "[StepNum]\r\nnum=40\r\n");
}
#endif

}  // namespace
}  // namespace kitebar
