#include "common/AppendFile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/CaseNames.h"
#ifndef _WIN32
#include "support/FileSizeLimit.h"
#endif
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

struct LayoutCase {
  const char* name;
  std::size_t fileSize;
  std::string lines;
  std::string laidOut;
};

const std::string kTen = "123456789\n";

const LayoutCase kLayoutCases[] = {
    {"EmptyFile", 0, kTen, kTen},
    {"EndsOnTheBoundary", 4086, kTen, kTen},
    {"OneByteOver", 4087, kTen, std::string(8, ' ') + "\n" + kTen},
    {"OneByteLeft", 4095, kTen, "\n" + kTen},
    {"SecondPage", 8190, kTen, " \n" + kTen},
    {"SecondOfTwoLinesCrosses", 4080, kTen + kTen, kTen + std::string(5, ' ') + "\n" + kTen},
};

class PageLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(PageLayout, NoLineCrossesAPage) {
  EXPECT_EQ(PageAlignedLines(GetParam().fileSize, GetParam().lines), GetParam().laidOut);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PageLayout, testing::ValuesIn(kLayoutCases),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

struct RefusalCase {
  const char* name;
  std::function<void()> plant;
  const char* said;
};

const RefusalCase kRefusals[] = {
    {"Folder", [] { std::filesystem::create_directory("a.csv"); }, "通常のファイルではない"},
    {"CutLastLine", [] { WriteFileBytes("a.csv", "one\ntw"); }, "途中で切れています"},
    {"AtItsLimit", [] { WriteFileBytes("a.csv", std::string(95, 'x') + "\n"); }, "上限"},
#ifndef _WIN32  // links and named pipes as a POSIX folder has them
    {"Link",
     [] {
       WriteFileBytes("target.csv", "one\n");
       std::filesystem::create_symlink("target.csv", "a.csv");
     },
     "シンボリックリンク"},
    {"DanglingLink", [] { std::filesystem::create_symlink("nowhere.csv", "a.csv"); },
     "シンボリックリンク"},
    {"NamedPipe", [] { ASSERT_EQ(::mkfifo("a.csv", 0644), 0); }, "通常のファイルではない"},
#endif
};

// The folder's entries, with the bytes of its regular files (a named pipe
// would block the read).
// The folder's files but its lock file, which every writer takes.
std::map<std::string, std::string> FolderState() {
  std::map<std::string, std::string> state;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name == "kitebar.lock")
      continue;
    state[name] = entry.is_regular_file() && !entry.is_symlink() ? ReadFileBytes(name) : "";
  }
  return state;
}

class AppendRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(AppendRefusal, NamesTheFileAndWritesNothing) {
  TempWorkingDirectory folder;
  GetParam().plant();
  const auto before = FolderState();
  const Status appended = AppendLinesDurably("a.csv", "new line\n", 100);
  ASSERT_FALSE(appended.ok());
  EXPECT_NE(appended.message().find("「a.csv」"), std::string::npos) << appended.message();
  EXPECT_NE(appended.message().find(GetParam().said), std::string::npos) << appended.message();
  EXPECT_EQ(FolderState(), before);
  const std::string_view name = GetParam().name;
  if (name != "CutLastLine" && name != "AtItsLimit") {
    EXPECT_FALSE(ReadAppendedFile("a.csv", 100).ok());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AppendRefusal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

#ifndef _WIN32
// A disk that fills part way through the addition: the file is as it was.
TEST(AppendFile, AFullDiskLeavesTheFileAsItWas) {
  TempWorkingDirectory folder;
  const std::string old(4000, 'x');
  WriteFileBytes("a.csv", old + "\n");
  {
    const test::FileSizeLimit limit(4200);
    const Status appended = AppendLinesDurably(
        "a.csv", std::string(150, 'y') + "\n" + std::string(150, 'z') + "\n", 1 << 20);
    ASSERT_FALSE(appended.ok());
    EXPECT_NE(appended.message().find("a.csv"), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes("a.csv"), old + "\n");
}
#endif

}  // namespace
}  // namespace kitebar
