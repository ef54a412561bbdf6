#include "common/AtomicFile.h"

#include <gtest/gtest.h>

#include "common/ShiftJis.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

TEST(AtomicFile, ReplacesContentsAndLeavesNoTemporaryFile) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old contents that are longer");
  ASSERT_TRUE(WriteFileAtomically("a.dat", "new"));
  EXPECT_EQ(ReadFileBytes("a.dat"), "new");
  EXPECT_FALSE(std::filesystem::exists("a.dat.tmp"));
}

TEST(AtomicFile, FailureKeepsTheOldFileAndRemovesTheTemporaryOne) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old");
  // A non-empty folder where the file is cannot be replaced by a rename.
  std::filesystem::create_directories("b.dat/inside");
  EXPECT_FALSE(WriteFileAtomically("b.dat", "new"));
  EXPECT_FALSE(std::filesystem::exists("b.dat.tmp"));
  EXPECT_FALSE(WriteFileAtomically("missing-folder/a.dat", "new"));
  EXPECT_EQ(ReadFileBytes("a.dat"), "old");
}

TEST(AtomicFile, ReadingAMissingFileFails) {
  TempWorkingDirectory folder;
  EXPECT_FALSE(ReadWholeFile("missing.dat").ok());
}

TEST(ShiftJis, ConvertsBothWaysAndRefusesUnmappableText) {
  const Result<std::string> encoded = Utf8ToShiftJis("第 12 回 ﾚﾃﾞｨ");
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(*encoded, "\x91\xe6 12 \x89\xf1 \xda\xc3\xde\xa8");
  EXPECT_EQ(*ShiftJisToUtf8(*encoded), "第 12 回 ﾚﾃﾞｨ");
  EXPECT_FALSE(Utf8ToShiftJis("\xF0\x9F\x98\x80").ok());  // an emoji has no code
  EXPECT_FALSE(ShiftJisToUtf8("\x82").ok());              // half a character
}

TEST(AtomicFile, MissingFileReadsAsEmptyOnlyWhereAsked) {
  TempWorkingDirectory folder;
  EXPECT_FALSE(ReadWholeFile("missing.dat").ok());
  ASSERT_TRUE(ReadFileOrEmpty("missing.dat").ok());
  EXPECT_EQ(*ReadFileOrEmpty("missing.dat"), "");
  std::filesystem::create_directory("folder.dat");
  EXPECT_FALSE(ReadFileOrEmpty("folder.dat").ok());
}

}  // namespace
}  // namespace kitebar
