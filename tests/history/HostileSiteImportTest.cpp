// Imports from a hostile result site on loopback: pages cut, reset, dripping,
// holding NULs, chunked, oversized or showing what is not a winning number;
// an index of 1,500 links; a bookmark that cannot be written; a page running
// past draw 9999. No draw may be stored that the page does not show, and the
// bookmark never moves past a page that was not read whole.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
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
#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::AnswerEnd;
using test::RawAnswer;
using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr char kHostilePage[] = "/numbers/num2001.html";
const std::string kServedHead = "HTTP/1.0 200 OK\r\nServer: test\r\n\r\n";

std::string Bookmark() {
  return ReadProfileString("./base.ini", "TvalUrl", "EndURL", "er", 128);
}

Status ImportFrom(test::PageServer& server, test::RecordingFeedback& feedback) {
  WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl(), Bookmark()));
  DrawHistory history;
  EXPECT_TRUE(history.Load().ok());
  HttpFetcher fetcher(feedback);
  fetcher.timeoutSeconds = 1;
  test::RecordingView view;
  return RunWebImport(history, fetcher, view, feedback, [] {});
}

// The second page of the standard site, the archive page of 2001 to 2012.
std::string SecondPage() {
  return test::StandardSitePages().at(kHostilePage);
}

std::string WithNulBeforeTheNumbers() {
  std::string page = SecondPage();
  page.insert(page.find("<B>"), 1, '\0');
  return kServedHead + page;
}

// The first block, then 70 KB of markup, then the rest: the fetcher keeps
// only the first 64 KB.
std::string BeyondTheBuffer() {
  std::string page = SecondPage();
  page.insert(page.find("</TABLE>") + 8, "<!--" + std::string(70000, '-') + "-->");
  return page;
}

std::string ShortOfItsContentLength() {
  const std::string page = SecondPage();
  return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(page.size() + 50) + "\r\n\r\n" +
         page;
}

std::string Chunked(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + body;
}

// The page in chunks of 7 bytes: chunk-size lines fall inside the numbers.
std::string ChunkedInSevens(const std::string& page) {
  std::string body;
  for (std::size_t at = 0; at < page.size(); at += 7) {
    const std::string piece = page.substr(at, 7);
    body += std::to_string(piece.size()) + "\r\n" + piece + "\r\n";
  }
  return Chunked(body + "0\r\n\r\n");
}

std::string WithNumberOf2003(const std::string& text) {
  std::vector<test::Block> blocks = test::ConsecutiveBlocks(2001, 3);
  blocks[2].numbers.resize(2);
  blocks[0].numbers[2] = text;
  return test::BlockLayoutPage(blocks);
}

std::string WithoutAnchors() {
  std::vector<test::Block> blocks = test::ConsecutiveBlocks(2001, 3);
  for (test::Block& block : blocks)
    block.anchored = false;
  return test::BlockLayoutPage(blocks);
}

struct HostileCase {
  const char* name;
  std::map<std::string, std::string> pages;  // in place of the site's own
  std::map<std::string, RawAnswer> raw;
  int lastStored;
  const char* messagePart;
};

class HostilePageTest : public testing::TestWithParam<HostileCase> {
 protected:
  test::TempWorkingDirectory directory;
  test::RecordingFeedback feedback;
};

// The hostile second page fails the run after the first page: the history
// file holds exactly the draws that the pages show soundly, the bookmark
// names the first page, and the next run against a healthy site reads the
// second page again and brings the history up to date.
TEST_P(HostilePageTest, FailsThePageAndKeepsItForTheNextRun) {
  const HostileCase& c = GetParam();
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  std::map<std::string, std::string> pages = test::StandardSitePages();
  for (const auto& [path, page] : c.pages)
    pages[path] = page;
  {
    test::PageServer hostile(pages, std::chrono::milliseconds(0), c.raw);
    const Status imported = ImportFrom(hostile, feedback);
    ASSERT_FALSE(imported.ok());
    EXPECT_NE(imported.message().find("num2001.html"), std::string::npos) << imported.message();
    EXPECT_NE(imported.message().find(c.messagePart), std::string::npos) << imported.message();
  }
  EXPECT_EQ(feedback.messages, std::vector<std::string>{"当選番号の取得に失敗しました。"});
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(c.lastStored));
  EXPECT_FALSE(std::filesystem::exists("tmp.dat"));
  EXPECT_EQ(Bookmark(), "num1951.html");

  test::PageServer healthy(test::StandardSitePages());
  ASSERT_TRUE(ImportFrom(healthy, feedback).ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HostilePageTest,
    testing::Values(
        HostileCase{
            "ResetAfter150Bytes",
            {},
            {{kHostilePage, {(kServedHead + SecondPage()).substr(0, 150), AnswerEnd::kReset}}},
            2000,
            "ページを取得できませんでした"},
        HostileCase{
            "BodyDrippingPastTheDeadline",
            {},
            {{kHostilePage, {(kServedHead + SecondPage()).substr(0, 400), AnswerEnd::kDrip}}},
            2000,
            "秒以内"},
        HostileCase{"BodyShorterThanContentLength",
                    {},
                    {{kHostilePage, {ShortOfItsContentLength(), AnswerEnd::kClose}}},
                    2000,
                    "Content-Length"},
        HostileCase{"NulBeforeTheNumbers",
                    {},
                    {{kHostilePage, {WithNulBeforeTheNumbers(), AnswerEnd::kClose}}},
                    2000,
                    "NUL"},
        HostileCase{"PageBeyondTheBuffer", {{kHostilePage, BeyondTheBuffer()}}, {}, 2000, "65535"},
        HostileCase{"ChunkedWithoutTheLastChunk",
                    {},
                    {{kHostilePage, {Chunked("5\r\n<B>12\r\n"), AnswerEnd::kClose}}},
                    2000,
                    "チャンク"},
        HostileCase{"ChunkSizeNotHexadecimal",
                    {},
                    {{kHostilePage, {Chunked(SecondPage()), AnswerEnd::kClose}}},
                    2000,
                    "チャンク"},
        HostileCase{"WordInPlaceOfANumber",
                    {{kHostilePage, WithNumberOf2003("抽せん")}},
                    {},
                    2002,
                    "第 2003 回"},
        HostileCase{
            "FourDigitNumber", {{kHostilePage, WithNumberOf2003("4444")}}, {}, 2002, "第 2003 回"},
        HostileCase{
            "BlocksWithoutAnchors", {{kHostilePage, WithoutAnchors()}}, {}, 2000, "第 2001 回"}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

class HostileSiteTest : public testing::Test {
 protected:
  test::TempWorkingDirectory directory;
  test::RecordingFeedback feedback;
};

TEST_F(HostileSiteTest, AChunkedPageIsDecoded) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages(), std::chrono::milliseconds(0),
                          {{kHostilePage, {ChunkedInSevens(SecondPage()), AnswerEnd::kClose}}});
  ASSERT_TRUE(ImportFrom(server, feedback).ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
}

// 1,500 links, each name twice, to pages that hold no new draw: each page is
// requested once, and the run stops after the stated number of them.
TEST_F(HostileSiteTest, AnIndexOfPagesWithoutNewDrawsStopsTheRun) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(2015));
  std::vector<std::string> keys;
  std::map<std::string, std::string> pages;
  for (int i = 0; i < 750; ++i) {
    const std::string key = FormatZeroPadded(i, 4);
    keys.insert(keys.end(), {key, key});
    pages["/numbers/num3-h" + key + ".html"] =
        test::HeadingLayoutPage(test::ConsecutiveHeadings(2001, 5));
  }
  pages["/numbers/numtop01.html"] = test::IndexPage(keys, {});
  test::PageServer server(pages);
  const Status imported = ImportFrom(server, feedback);
  ASSERT_FALSE(imported.ok());
  EXPECT_NE(imported.message().find(std::to_string(kMaxPagesWithoutNewDraw) + " ページ"),
            std::string::npos)
      << imported.message();
  const std::vector<std::string> requested = server.RequestedPaths();
  ASSERT_EQ(requested.size(), 1u + kMaxPagesWithoutNewDraw);
  EXPECT_EQ(std::set<std::string>(requested.begin(), requested.end()).size(), requested.size());
  EXPECT_EQ("/numbers/" + Bookmark(), requested.back());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
}

// The bookmark cannot be written: the run fails at once and says that the
// draws are saved but the bookmark is not.
TEST_F(HostileSiteTest, ABookmarkThatCannotBeWrittenFailsTheRun) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl()));
  std::filesystem::permissions("base.ini", std::filesystem::perms::owner_read);
  DrawHistory history;
  ASSERT_TRUE(history.Load().ok());
  HttpFetcher fetcher(feedback);
  test::RecordingView view;
  const Status imported = RunWebImport(history, fetcher, view, feedback, [] {});
  ASSERT_FALSE(imported.ok());
  EXPECT_NE(imported.message().find("第 2000 回までの当選番号は保存しましたが"), std::string::npos)
      << imported.message();
  EXPECT_NE(imported.message().find("base.ini"), std::string::npos);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2000));
  EXPECT_EQ(server.RequestedPaths().size(), 2u);
  EXPECT_EQ(Bookmark(), "er");
}

// While the first page is fetched, another writer registers draws 1991 and
// 1992 with numbers of its own: the page is read against the history as the
// file holds it then, so those draws stay and the page adds the rest.
TEST_F(HostileSiteTest, DrawsAnotherWriterStoredDuringTheFetchAreKept) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl()));
  const std::string registered = test::HistoryFileUpTo(1990) + "1991,777\r\n1992,778\r\n";
  DrawHistory history;
  ASSERT_TRUE(history.Load().ok());
  HttpFetcher fetcher(feedback);
  test::RecordingView view;
  bool first = true;
  const auto registerMeanwhile = [&] {
    if (std::exchange(first, false))
      WriteFileBytes("kitebarnum.dat", registered);
  };
  ASSERT_TRUE(RunWebImport(history, fetcher, view, feedback, registerMeanwhile).ok());
  const std::string expected = test::HistoryFileUpTo(2015);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"),
            registered + expected.substr(test::HistoryFileUpTo(1992).size()));
}

// Another Kitebar holds the folder's lock when the page is to be stored: the
// page was fetched all the same (the network is not waited on under the
// lock), nothing is written and the bookmark stays.
TEST_F(HostileSiteTest, APageIsNotStoredWhileAnotherWriterHoldsTheLock) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl()));
  DrawHistory history;
  ASSERT_TRUE(history.Load().ok());
  HttpFetcher fetcher(feedback);
  test::RecordingView view;
  std::optional<test::LockHolder> otherWriter;
  const Status imported =
      RunWebImport(history, fetcher, view, feedback, [&] { otherWriter.emplace(); });
  ASSERT_FALSE(imported.ok());
  EXPECT_NE(imported.message().find(AnotherWriterMessage()), std::string::npos)
      << imported.message();
  EXPECT_EQ(server.RequestedPaths().back(), "/numbers/num1951.html");
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(1990));
  EXPECT_FALSE(std::filesystem::exists("tmp.dat"));
  EXPECT_EQ(Bookmark(), "er");
}

// Draws 9996 to 9999 are stored, then the run stops with the limit's
// message (exit status 1); the bookmark stays, so that every later run says
// so again.
TEST_F(HostileSiteTest, APageRunningPastDraw9999StoresTheDrawsUpTo9999) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(9995));
  test::PageServer server(
      {{"/numbers/numtop01.html", test::IndexPage({}, {9951})},
       {"/numbers/num9951.html", test::BlockLayoutPage(test::ConsecutiveBlocks(9951, 11))}});
  WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl()));
  const test::CliResult cli = test::RunCli({"import"});
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_NE(cli.err.find("当選番号の取得に失敗しました。"), std::string::npos) << cli.err;
  EXPECT_NE(cli.err.find("当選番号ファイルに記録できるのは第 9999 回までです。"), std::string::npos)
      << cli.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(9999));
  EXPECT_EQ(Bookmark(), "er");
}

}  // namespace
}  // namespace kitebar
