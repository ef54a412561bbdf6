#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "HttpTestServer.h"
#include "RecordingFeedback.h"
#include "WebImportTestSite.h"
#include "settings/PrivateProfile.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

std::string Bookmark() {
  return ReadProfileString("./base.ini", "TvalUrl", "EndURL", "er", 128);
}

class WebImportTest : public testing::Test {
 protected:
  // Runs the import on the history file as it stands, against `server`.
  Status Import(test::PageServer& server, const std::string& bookmark = "") {
    WriteFileBytes("base.ini", test::BaseIni(server.BaseUrl(), bookmark));
    if (settingsReadOnly)
      std::filesystem::permissions("base.ini", std::filesystem::perms::owner_read);
    DrawHistory history;
    EXPECT_TRUE(history.Load().ok());
    HttpFetcher fetcher(feedback);
    const Status status = RunWebImport(history, fetcher, view, feedback, [this] { ++pauses; });
    finalCount = history.count;
    return status;
  }

  std::vector<std::string> PagesRequested(test::PageServer& server) {
    std::vector<std::string> pages;
    for (const std::string& path : server.RequestedPaths())
      pages.push_back(path.substr(9));
    return pages;
  }

  test::TempWorkingDirectory directory;
  test::RecordingFeedback feedback;
  test::RecordingView view;
  int pauses = 0;
  int finalCount = 0;
  bool settingsReadOnly = false;
};

TEST_F(WebImportTest, ReadsEveryQueuedPageAndReplacesTheHistoryFile) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  ASSERT_TRUE(Import(server).ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
  EXPECT_FALSE(std::filesystem::exists("tmp.dat"));
  EXPECT_EQ(Bookmark(), "num3-h2015.html");
  EXPECT_EQ(feedback.progress, (std::vector<int>{5, 12, 14, 16, 18, 100}));
  EXPECT_EQ(feedback.lines,
            (std::vector<std::string>{
                "処理を開始しました。", "第 1990 回　～　からの当選番号を処理しています。Web:0",
                "第 2000 回　～　からの当選番号を処理しています。Web:1",
                "第 2012 回　～　からの当選番号を処理しています。Web:2",
                "第 2014 回　～　からの当選番号を処理しています。Web:3", "完了しました。"}));
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(pauses, 4);
  EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(view.targetDraws.back(), 2016);
  EXPECT_EQ(view.refills, 1);
  std::vector<std::string> expected{"numtop01.html"};
  expected.insert(expected.end(), test::StandardQueue().begin(), test::StandardQueue().end());
  EXPECT_EQ(PagesRequested(server), expected);
}

TEST_F(WebImportTest, ABookmarkNoLongerQueuedStartsAtTheFirstPage) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  ASSERT_TRUE(Import(server, "num1851.html").ok());
  EXPECT_EQ(PagesRequested(server).at(1), "num1951.html");
  EXPECT_EQ(finalCount, 2015);
}

TEST_F(WebImportTest, AnIndexWithoutQueuedPagesCompletesAtOnce) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(3));
  test::PageServer server(
      std::map<std::string, std::string>{{"/numbers/numtop01.html", test::IndexPage({}, {})}});
  ASSERT_TRUE(Import(server).ok());
  EXPECT_EQ(feedback.progress, (std::vector<int>{5, 100}));
  EXPECT_EQ(feedback.lines.back(), "完了しました。");
  EXPECT_EQ(pauses, 0);
  EXPECT_EQ(Bookmark(), "er");
}

// An index page that did not come, or came without the marks of an index:
// nothing changes and the failure says which it was.
class FailedIndexTest : public WebImportTest,
                        public testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(FailedIndexTest, ChangesNothingAndSaysWhy) {
  const auto& [path, reason] = GetParam();
  const std::string before = test::HistoryFileUpTo(1990);
  WriteFileBytes("kitebarnum.dat", before);
  test::PageServer server(
      std::map<std::string, std::string>{{path, "<html>no marker here</html>"}});
  const Status imported = Import(server);
  EXPECT_FALSE(imported.ok());
  EXPECT_NE(imported.message().find(reason), std::string::npos) << imported.message();
  // The address asked for, so that a wrong BaseURL shows.
  EXPECT_NE(imported.message().find("（" + server.BaseUrl() + "numtop01.html）"), std::string::npos)
      << imported.message();
  EXPECT_EQ(feedback.headlines(), std::vector<std::string>{"当選番号の取得に失敗しました。"});
  // The box goes on with what went wrong and what to do.
  EXPECT_EQ(feedback.messages.front(), "当選番号の取得に失敗しました。\n" + imported.message());
  EXPECT_EQ(feedback.icons, std::vector<MessageIcon>{MessageIcon::kStop});
  EXPECT_TRUE(feedback.progress.empty());
  EXPECT_EQ(feedback.lines, std::vector<std::string>{"処理を開始しました。"});
  EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), before);
  EXPECT_EQ(Bookmark(), "er");
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, FailedIndexTest,
    testing::Values(std::pair{"/numbers/numtop01.html", "目次の印「★過去のデータ★」がなく"},
                    std::pair{"/numbers/elsewhere.html", "の要求に「404 Not Found」と答えました"}),
    [](const testing::TestParamInfo<FailedIndexTest::ParamType>& info) {
      return std::string(info.index == 0 ? "PageWithoutMarks" : "NotFound");
    });

TEST_F(WebImportTest, KeepsThePositionsOfCompletedAndPendingDraws) {
  // Draw 1991 is pending with a decided position when the import completes it.
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990) + "1991,,456,1\r\n");
  test::PageServer server(test::StandardSitePages());
  ASSERT_TRUE(Import(server).ok());
  std::string expected = test::HistoryFileUpTo(2015);
  const std::string plain = "1991," + test::WinningNumberOf(1991) + "\r\n";
  expected.replace(expected.find(plain), plain.size(),
                   "1991," + test::WinningNumberOf(1991) + ",456,1\r\n");
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), expected);

  // A pending draw beyond the site's newest stays pending.
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(2015) + "2016,,789,0\r\n");
  ASSERT_TRUE(Import(server, "num3-h2015.html").ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015) + "2016,,789,0\r\n");
}

TEST_F(WebImportTest, ProgressStopsAt90UntilTheEnd) {
  std::vector<std::string> keys;
  std::map<std::string, std::string> pages;
  // The recent pages are read last found first, each adding one draw.
  for (int i = 0; i < 45; ++i) {
    keys.push_back(FormatZeroPadded(i, 4));
    pages["/numbers/num3-h" + keys.back() + ".html"] =
        test::HeadingLayoutPage(test::ConsecutiveHeadings(4 + 44 - i, 1));
  }
  pages["/numbers/numtop01.html"] = test::IndexPage(keys, {});
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(3));
  test::PageServer server(pages);
  ASSERT_TRUE(Import(server).ok());
  ASSERT_EQ(feedback.progress.size(), 47u);
  EXPECT_EQ(feedback.progress[40], 90);
  EXPECT_EQ(feedback.progress[45], 90);
  EXPECT_EQ(feedback.progress.back(), 100);
}

// A history file the user made read-only is refused before anything is
// written: it stays as it was, read-only, and the bookmark stays.
TEST_F(WebImportTest, AHistoryFileThatCannotBeReplacedStopsTheRun) {
  const std::string before = test::HistoryFileUpTo(1990);
  WriteFileBytes("kitebarnum.dat", before);
  std::filesystem::permissions("kitebarnum.dat", std::filesystem::perms::owner_read);
  test::PageServer server(test::StandardSitePages());
  const Status imported = Import(server);
  ASSERT_FALSE(imported.ok());
  EXPECT_NE(imported.message().find("読み取り専用"), std::string::npos) << imported.message();
  EXPECT_EQ(feedback.headlines(), std::vector<std::string>{"当選番号の取得に失敗しました。"});
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), before);
#ifndef _WIN32  // permission bits
  EXPECT_EQ(std::filesystem::status("kitebarnum.dat").permissions(),
            std::filesystem::perms::owner_read);
#endif
  EXPECT_FALSE(std::filesystem::exists("tmp.dat"));
  EXPECT_EQ(Bookmark(), "er");
}

// The draws of the page read are kept; the bookmark that cannot be saved
// stops the run, said once with what the next run does.
TEST_F(WebImportTest, ASettingsFileThatCannotBeReplacedKeepsTheDrawsRead) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  test::PageServer server(test::StandardSitePages());
  settingsReadOnly = true;
  const Status imported = Import(server);
  ASSERT_FALSE(imported.ok());
  const std::string message = imported.message();
  EXPECT_NE(message.find("読み取り専用"), std::string::npos) << message;
  EXPECT_NE(message.find("前に記録したページから読み直します"), std::string::npos) << message;
  EXPECT_EQ(message.find("。。"), std::string::npos) << message;
  // The page read whole is kept, as the message says.
  EXPECT_NE(message.find("第 2000 回までの当選番号は保存しました"), std::string::npos) << message;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2000));
}

TEST_F(WebImportTest, TheReplacedHistoryFileKeepsItsPermissions) {
  using std::filesystem::perms;
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  const perms chosen = perms::owner_read | perms::owner_write | perms::group_read;
  std::filesystem::permissions("kitebarnum.dat", chosen);
  test::PageServer server(test::StandardSitePages());
  ASSERT_TRUE(Import(server).ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
#ifndef _WIN32  // permission bits
  EXPECT_EQ(std::filesystem::status("kitebarnum.dat").permissions(), chosen);
#endif
}

}  // namespace
}  // namespace kitebar
