#include "common/AtomicFile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <functional>
#include <thread>
#include <utility>
#include <vector>

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
  EXPECT_EQ(test::FolderEntryNames(), std::vector<std::string>{"a.dat"});
}

TEST(AtomicFile, FailureKeepsTheOldFileAndRemovesTheTemporaryOne) {
  TempWorkingDirectory folder;
  WriteFileBytes("a.dat", "old");
  std::filesystem::create_directories("b.dat/inside");
  EXPECT_FALSE(WriteFileAtomically("b.dat", "new"));
  EXPECT_FALSE(WriteFileAtomically("missing-folder/a.dat", "new"));
  EXPECT_EQ(ReadFileBytes("a.dat"), "old");
  EXPECT_EQ(test::FolderEntryNames(), (std::vector<std::string>{"a.dat", "b.dat"}));
}

#ifndef _WIN32  // symbolic links need a privilege on Windows
// A link planted where a fixed temporary name used to be is never followed.
TEST(AtomicFile, PlantedLinksAreNotFollowed) {
  TempWorkingDirectory folder;
  WriteFileBytes("victim", "victim's bytes");
  WriteFileBytes("a.dat", "old");
  for (const char* planted : {"a.dat.tmp", "tmp.dat"})
    std::filesystem::create_symlink("victim", planted);
  ASSERT_TRUE(WriteFileAtomically("a.dat", "new"));
  EXPECT_EQ(ReadFileBytes("victim"), "victim's bytes");
  EXPECT_EQ(ReadFileBytes("a.dat"), "new");
  EXPECT_FALSE(std::filesystem::is_symlink("a.dat"));
}

// A file kept elsewhere behind a symbolic link (a synced folder) gets every
// write, through either way of replacing a file; the link stays a link.
TEST(AtomicFile, WritesThroughALinkToItsTargetsFolder) {
  TempWorkingDirectory folder;
  std::filesystem::create_directories("synced/deeper");
  const std::vector<std::pair<const char*, std::function<Status()>>> writes{
      {"WriteFileAtomically", [] { return WriteFileAtomically("a.dat", "new"); }},
      {"RenameOver", [] {
         WriteFileBytes("a.dat.scratch", "new");
         return RenameOver("a.dat.scratch", "a.dat");
       }}};
  for (const auto& [name, write] : writes) {
    for (const char* target : {"synced/a.dat", "synced/deeper/../a.dat"}) {
      WriteFileBytes("synced/a.dat", "old");
      std::filesystem::remove("a.dat");
      std::filesystem::create_symlink(target, "a.dat");
      ASSERT_TRUE(write()) << name;
      EXPECT_TRUE(std::filesystem::is_symlink("a.dat")) << name;
      EXPECT_EQ(ReadFileBytes("synced/a.dat"), "new") << name;
      EXPECT_EQ(test::FolderEntryNames(), (std::vector<std::string>{"a.dat", "synced"})) << name;
    }
  }
  // A link to nothing is refused, not replaced by a file of its own.
  std::filesystem::remove("synced/a.dat");
  const Status dangling = WriteFileAtomically("a.dat", "new");
  EXPECT_NE(dangling.message().find("リンク先"), std::string::npos) << dangling.message();
  EXPECT_TRUE(std::filesystem::is_symlink("a.dat"));
  EXPECT_FALSE(CheckReplaceable("a.dat").ok());
  // One sentence of advice, once, at the end.
  EXPECT_EQ(dangling.message().find("。。"), std::string::npos) << dangling.message();
  EXPECT_TRUE(dangling.message().ends_with("もう一度実行してください。")) << dangling.message();
}

// The import's scratch file is the program's own name: a link planted there
// (to another folder's history, to any file) is replaced, never written
// through, and a link is never renamed over the history.
TEST(AtomicFile, AScratchFileReplacesALinkInItsPlace) {
  TempWorkingDirectory folder;
  std::filesystem::create_directories("B");
  WriteFileBytes("B/kitebarnum.dat", "B's draws");
  WriteFileBytes("kitebarnum.dat", "A's draws");
  std::filesystem::create_symlink("B/kitebarnum.dat", "tmp.dat");
  ASSERT_TRUE(WriteScratchFile("tmp.dat", "A's new draws"));
  EXPECT_EQ(ReadFileBytes("B/kitebarnum.dat"), "B's draws");
  EXPECT_FALSE(std::filesystem::is_symlink("tmp.dat"));
  EXPECT_EQ(ReadFileBytes("tmp.dat"), "A's new draws");

  std::filesystem::remove("tmp.dat");
  std::filesystem::create_symlink("B/kitebarnum.dat", "tmp.dat");
  EXPECT_FALSE(RenameOver("tmp.dat", "kitebarnum.dat"));
  EXPECT_FALSE(std::filesystem::is_symlink("kitebarnum.dat"));
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), "A's draws");
}
#endif

// A path the user chose never replaces a file of the program, however it is
// spelt; any other name is written.
TEST(AtomicFile, AUserChosenPathNeverReplacesAProgramFile) {
  TempWorkingDirectory folder;
  std::filesystem::create_directories("sub");
  for (const char* name : {"kitebarnum.dat", "Kitebard.dat", "base.ini", "showyosou.html",
                           "Kitebar_kensho.html", "kitebar.lock", "tmp.dat"})
    WriteFileBytes(name, "program's own");
  for (const char* chosen :
       {"kitebarnum.dat", "./sub/../Kitebard.dat", "BASE.INI", "showyosou.html",
        "Kitebar_kensho.html", "kitebar.lock", "tmp.dat", "sub/kitebarnum.dat"}) {
    const Status refused = WriteUserChosenFile(chosen, "%PDF-1.4", ".");
    EXPECT_FALSE(refused.ok()) << chosen;
    EXPECT_NE(refused.message().find("Kitebar が使うファイル"), std::string::npos) << chosen;
  }
  for (const char* name : {"kitebarnum.dat", "Kitebard.dat", "base.ini", "showyosou.html"})
    EXPECT_EQ(ReadFileBytes(name), "program's own") << name;
  EXPECT_FALSE(std::filesystem::exists("sub/kitebarnum.dat"));
  ASSERT_TRUE(WriteUserChosenFile("sub/page.pdf", "%PDF-1.4", "."));
  EXPECT_EQ(ReadFileBytes("sub/page.pdf"), "%PDF-1.4");
}

// A program file is never written past the size that its reader accepts.
TEST(AtomicFile, AProgramFileIsNeverWrittenPastItsReadersLimit) {
  TempWorkingDirectory folder;
  WriteFileBytes("Kitebard.dat", "1\r\n00\r\n");
  const Status refused = WriteFileAtomically("Kitebard.dat", std::string((2 << 20) + 1, '0'));
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.cause(), Cause::kSizeLimit);
  EXPECT_EQ(ReadFileBytes("Kitebard.dat"), "1\r\n00\r\n");
  EXPECT_TRUE(WriteFileAtomically("Kitebard.dat", std::string(2 << 20, '0')));
  EXPECT_TRUE(WriteFileAtomically("page.html", std::string((2 << 20) + 1, '0')));
}

// A new file never takes the name of an existing one: the next free name is
// used, and with none left nothing is written.
TEST(AtomicFile, ANewFileNeverReplacesAnExistingOne) {
  const std::vector<std::filesystem::path> names{"a.bak", "a-2.bak", "a-3.bak"};
  struct Case {
    std::vector<const char*> existing;
    const char* chosen;  // none: every name is taken
  };
  for (const Case& c :
       {Case{{}, "a.bak"}, Case{{"a.bak"}, "a-2.bak"}, Case{{"a.bak", "a-3.bak"}, "a-2.bak"},
        Case{{"a.bak", "a-2.bak", "a-3.bak"}, nullptr}}) {
    TempWorkingDirectory folder;
    for (const char* existing : c.existing)
      WriteFileBytes(existing, "earlier");
    const Result<std::filesystem::path> written = WriteNewFileAtomically(names, "copy");
    ASSERT_EQ(written.ok(), c.chosen != nullptr) << written.message();
    if (c.chosen != nullptr) {
      EXPECT_EQ(*written, c.chosen);
      EXPECT_EQ(ReadFileBytes(c.chosen), "copy");
    }
    for (const char* existing : c.existing)
      EXPECT_EQ(ReadFileBytes(existing), "earlier") << existing;
    EXPECT_EQ(test::FolderEntryNames().size(), c.existing.size() + (c.chosen != nullptr ? 1 : 0));
  }
}

TEST(AtomicFile, ReadOnlyFileIsRefusedAndOthersKeepTheirPermissions) {
  TempWorkingDirectory folder;
  WriteFileBytes("locked.dat", "old");
  std::filesystem::permissions("locked.dat", std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::group_read |
                                                 std::filesystem::perms::others_read);
  const Status refused = WriteFileAtomically("locked.dat", "new");
  EXPECT_FALSE(refused.ok());
  EXPECT_NE(refused.message().find("読み取り専用"), std::string::npos);
  EXPECT_EQ(ReadFileBytes("locked.dat"), "old");

#ifndef _WIN32  // permission bits
  WriteFileBytes("private.dat", "old");
  ::chmod("private.dat", 0600);
  ASSERT_TRUE(WriteFileAtomically("private.dat", "new"));
  struct stat status {};
  ASSERT_EQ(::stat("private.dat", &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
#endif
}

// Each writer has a temporary file of its own: many at once leave one whole
// file, never a mix.
TEST(AtomicFile, ConcurrentWritersNeverMixTheirBytes) {
  TempWorkingDirectory folder;
  const std::string a(100000, 'a');
  const std::string b(100000, 'b');
  std::vector<std::thread> writers;
  for (int i = 0; i < 8; ++i) {
    writers.emplace_back([&, i] {
      for (int round = 0; round < 20; ++round) {
        const Status written = WriteFileAtomically("shared.dat", i % 2 ? a : b);
        EXPECT_TRUE(written.ok()) << written.message();
      }
    });
  }
  for (std::thread& writer : writers)
    writer.join();
  const std::string result = ReadFileBytes("shared.dat");
  EXPECT_TRUE(result == a || result == b);
  EXPECT_EQ(test::FolderEntryNames(), std::vector<std::string>{"shared.dat"});
}

TEST(AtomicFile, ReadsRefuseWhatIsNotARegularFileOfItsSize) {
  TempWorkingDirectory folder;
#ifndef _WIN32  // named pipes and devices in the folder
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  std::filesystem::create_symlink("/dev/zero", "zero");
#endif
  std::filesystem::create_directory("folder.dat");
  WriteFileBytes("ten.dat", "0123456789");
  struct Case {
    const char* file;
    std::size_t cap;
    bool readable;
  };
  std::vector<Case> cases{Case{"folder.dat", 100, false}, Case{"missing.dat", 100, false},
                          Case{"ten.dat", 9, false}, Case{"ten.dat", 10, true},
                          Case{"ten.dat", 11, true}};
#ifndef _WIN32
  cases.insert(cases.end(), {Case{"pipe", 100, false}, Case{"zero", 100, false}});
#endif
  for (const Case& c : cases) {
    const Result<std::string> read = ReadWholeFile(c.file, c.cap);
    EXPECT_EQ(read.ok(), c.readable) << c.file << " " << c.cap;
    EXPECT_EQ(CheckReadable(c.file, c.cap).ok(), c.readable || c.file == std::string("missing.dat"))
        << c.file << " " << c.cap;
    if (!read.ok()) {
      EXPECT_NE(read.message().find(c.file), std::string::npos) << read.message();
    }
  }
  EXPECT_EQ(*ReadFileOrEmpty("missing.dat", 10), "");
#ifndef _WIN32
  EXPECT_FALSE(ReadFileOrEmpty("pipe", 10).ok());
#endif
}

TEST(ShiftJis, ConvertsBothWaysAndRefusesUnmappableText) {
  const Result<std::string> encoded = Utf8ToShiftJis("第 12 回 ﾚﾃﾞｨ");
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(*encoded, "\x91\xe6 12 \x89\xf1 \xda\xc3\xde\xa8");
  EXPECT_EQ(*ShiftJisToUtf8(*encoded), "第 12 回 ﾚﾃﾞｨ");
  EXPECT_FALSE(Utf8ToShiftJis("\xF0\x9F\x98\x80").ok());  // an emoji has no code
  EXPECT_FALSE(ShiftJisToUtf8("\x82").ok());              // half a character
}

}  // namespace
}  // namespace kitebar
