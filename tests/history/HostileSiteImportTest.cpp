// Imports from a hostile result site on loopback. No draw may be stored that
// the pages do not show, and the bookmark never moves past a page that was
// not read whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "HttpTestServer.h"
#include "RecordingFeedback.h"
#include "WebImportTestSite.h"
#include "common/FolderLock.h"
#include "settings/PrivateProfile.h"
#ifndef _WIN32
#include "support/CliRunner.h"
#endif
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::AnswerEnd;
using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr char kSecondPage[] = "/numbers/num2001.html";  // draws 2001 to 2012
const std::string kHead = "HTTP/1.0 200 OK\r\n\r\n";

std::string Bookmark() {
  return ReadProfileString("./base.ini", "TvalUrl", "EndURL", "er", 128);
}

std::string SecondPage() {
  return test::StandardSitePages().at(kSecondPage);
}

// The first block, 70 KB of markup, the rest: only 64 KB are kept.
std::string BeyondTheBuffer() {
  std::string page = SecondPage();
  return page.insert(page.find("</TABLE>"), std::string(70000, ' '));
}

std::string Chunked(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + body;
}

std::string WordForDraw2003() {
  std::vector<test::Block> blocks = test::ConsecutiveBlocks(2001, 3);
  blocks[2].numbers.resize(2);
  blocks[0].numbers[2] = "抽せん";
  return test::BlockLayoutPage(blocks);
}

class HostileSiteTest : public testing::Test {
 protected:
  void PointAt(test::PageServer& server) {
    WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl(), Bookmark()));
  }
  // `pause` runs before each page request.
  Status Import(const std::function<void()>& pause = [] {}) {
    DrawHistory history;
    EXPECT_TRUE(history.Load().ok());
    HttpFetcher fetcher(feedback);
    fetcher.timeoutSeconds = 1;
    test::RecordingView view;
    return RunWebImport(history, fetcher, view, feedback, pause);
  }

  test::TempWorkingDirectory directory;
  test::RecordingFeedback feedback;
};

struct HostileCase {
  const char* name;
  test::RawAnswer answer;  // of the second page
  int lastStored;
  const char* reason;
};

class HostilePageTest : public HostileSiteTest, public testing::WithParamInterface<HostileCase> {};

// The run fails at the second page and keeps exactly the sound draws; the
// bookmark names the first page, so that the next run, against a healthy
// site, reads the second page again and brings the history up to date.
TEST_P(HostilePageTest, FailsThePageAndReadsItAgainNextTime) {
  if (GetParam().answer.end == AnswerEnd::kReset && !test::ResetsReachThePeer())
    GTEST_SKIP() << "the test server cannot send a reset here";
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  {
    test::PageServer hostile(test::StandardSitePages(), {}, {{kSecondPage, GetParam().answer}});
    PointAt(hostile);
    const Status imported = Import();
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.message().find("num2001.html: "), 0u) << imported.message();
    EXPECT_NE(imported.message().find(GetParam().reason), std::string::npos) << imported.message();
  }
  EXPECT_EQ(feedback.headlines(), std::vector<std::string>{"当選番号の取得に失敗しました。"});
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(GetParam().lastStored));
  EXPECT_EQ(Bookmark(), "num1951.html");
  test::PageServer healthy(test::StandardSitePages());
  PointAt(healthy);
  ASSERT_TRUE(Import().ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HostilePageTest,
    testing::Values(
        HostileCase{"ResetAfter150Bytes",
                    {(kHead + SecondPage()).substr(0, 150), AnswerEnd::kReset},
                    2000,
                    "切れました"},
        HostileCase{"DrippingPastTheDeadline",
                    {(kHead + SecondPage()).substr(0, 400), AnswerEnd::kDrip},
                    2000,
                    "秒以内"},
        HostileCase{"ShorterThanContentLength",
                    {"HTTP/1.0 200 OK\r\nContent-Length: 99999\r\n\r\n" + SecondPage()},
                    2000,
                    "Content-Length"},
        HostileCase{
            "NulBeforeTheNumbers", {kHead + std::string(1, '\0') + SecondPage()}, 2000, "NUL"},
        HostileCase{"BeyondTheBuffer", {kHead + BeyondTheBuffer()}, 2000, "65535"},
        HostileCase{"ChunkedWithoutTheLastChunk", {Chunked("5\r\n<B>12\r\n")}, 2000, "チャンク"},
        HostileCase{"WordInPlaceOfANumber", {kHead + WordForDraw2003()}, 2002, "第 2003 回"}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// Chunks of 7 bytes: chunk-size lines fall inside the winning numbers.
TEST_F(HostileSiteTest, AChunkedPageIsDecoded) {
  std::string body;
  for (std::size_t at = 0; at < SecondPage().size(); at += 7)
    body += std::to_string(SecondPage().substr(at, 7).size()) + "\r\n" +
            SecondPage().substr(at, 7) + "\r\n";
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages(), {},
                          {{kSecondPage, {Chunked(body + "0\r\n\r\n")}}});
  PointAt(server);
  ASSERT_TRUE(Import().ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
}

// 1,500 links, each name twice, to pages without a new draw: each page is
// requested once, and the run stops after the stated number of them.
TEST_F(HostileSiteTest, AnIndexOfPagesWithoutNewDrawsStopsTheRun) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(2015));
  std::vector<std::string> keys;
  std::map<std::string, std::string> pages;
  for (int i = 0; i < 750; ++i) {
    keys.insert(keys.end(), 2, FormatZeroPadded(i, 4));
    pages["/numbers/num3-h" + keys.back() + ".html"] =
        test::HeadingLayoutPage(test::ConsecutiveHeadings(2001, 5));
  }
  pages["/numbers/numtop01.html"] = test::IndexPage(keys, {});
  test::PageServer server(pages);
  PointAt(server);
  const Status imported = Import();
  EXPECT_NE(imported.message().find(std::to_string(kMaxPagesWithoutNewDraw) + " ページ"),
            std::string::npos)
      << imported.message();
  const std::vector<std::string> requested = server.RequestedPaths();
  ASSERT_EQ(requested.size(), 1u + kMaxPagesWithoutNewDraw);
  EXPECT_EQ(std::set<std::string>(requested.begin(), requested.end()).size(), requested.size());
  EXPECT_EQ("/numbers/" + Bookmark(), requested.back());
}

TEST_F(HostileSiteTest, ABookmarkThatCannotBeWrittenFailsTheRun) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  PointAt(server);
  std::filesystem::permissions("base.ini", std::filesystem::perms::owner_read);
  const Status imported = Import();
  EXPECT_NE(imported.message().find("第 2000 回までの当選番号は保存しましたが、読み終えたページ"),
            std::string::npos)
      << imported.message();
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2000));
  EXPECT_EQ(server.RequestedPaths().size(), 2u);
  EXPECT_EQ(Bookmark(), "er");
}

// While the first page is fetched, another writer registers draws 1991 and
// 1992 with numbers of its own: they stay, and the page adds the rest.
TEST_F(HostileSiteTest, DrawsAnotherWriterStoredDuringTheFetchAreKept) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  PointAt(server);
  const std::string registered = test::HistoryFileUpTo(1990) + "1991,777\r\n1992,778\r\n";
  bool first = true;
  ASSERT_TRUE(Import([&] {
                if (std::exchange(first, false))
                  WriteFileBytes("kitebarnum.dat", registered);
              }).ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"),
            registered + test::HistoryFileUpTo(2015).substr(registered.size()));
}

// The page is fetched without the lock; another Kitebar holding it keeps the
// page from being stored.
TEST_F(HostileSiteTest, APageIsNotStoredWhileAnotherWriterHoldsTheLock) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  PointAt(server);
  std::optional<test::LockHolder> otherWriter;
  const Status imported = Import([&] { otherWriter.emplace(); });
  EXPECT_NE(imported.message().find(AnotherWriterMessage()), std::string::npos)
      << imported.message();
  EXPECT_EQ(server.RequestedPaths().back(), "/numbers/num1951.html");
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(1990));
  EXPECT_EQ(Bookmark(), "er");
}

#ifndef _WIN32  // starts kitebar-cli with posix_spawn
// Draws 9996 to 9999 are stored, then the command fails with the limit; the
// bookmark stays, so that every later run says so again.
TEST_F(HostileSiteTest, APageRunningPastDraw9999StoresTheDrawsUpTo9999) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(9995));
  test::PageServer server(
      {{"/numbers/numtop01.html", test::IndexPage({}, {9951})},
       {"/numbers/num9951.html", test::BlockLayoutPage(test::ConsecutiveBlocks(9951, 11))}});
  PointAt(server);
  const test::CliResult cli = test::RunCli({"import"});
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_NE(cli.err.find("当選番号の取得に失敗しました。"), std::string::npos) << cli.err;
  EXPECT_NE(cli.err.find("当選番号ファイルに記録できるのは第 9999 回までです。"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(9999));
  EXPECT_EQ(Bookmark(), "er");
}
#endif

}  // namespace
}  // namespace kitebar
