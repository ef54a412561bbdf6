// Result pages that show something other than a winning number where one
// must stand, or that do not show which draw comes next: reading stops with a
// message naming the draw, and only the sound draws before it are taken.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ResultPageFixtures.h"
#include "history/DrawHistory.h"
#include "history/IndexPage.h"
#include "history/ResultPage.h"

namespace kitebar {
namespace {

using test::Block;
using test::Heading;
using test::WinningNumberOf;

std::unique_ptr<DrawHistory> HistoryUpTo(int count) {
  auto history = std::make_unique<DrawHistory>("unused.dat");
  for (int n = 1; n <= count; ++n)
    EXPECT_TRUE(history->AppendImportedDraw(WinningNumberOf(n)).ok());
  return history;
}

// Every draw after `from` holds the fixtures' winning number of its draw.
void ExpectSiteDrawsAfter(const DrawHistory& history, int from) {
  for (int n = from + 1; n <= history.count; ++n)
    EXPECT_EQ(history.record(n).digitsText(), WinningNumberOf(n)) << "draw " << n;
}

class BadWinningNumberTest : public testing::TestWithParam<std::tuple<const char*, std::string>> {};

// Draw 1993 shows `text` in the place of its number, on an archive page and
// on a recent page: 1991 and 1992 are taken, nothing from 1993 on.
TEST_P(BadWinningNumberTest, StopsThePageAtTheDrawAndKeepsTheDrawsBefore) {
  const auto& [pageName, text] = GetParam();
  std::string page;
  if (UsesBlockLayout(pageName)) {
    std::vector<Block> blocks = test::ConsecutiveBlocks(1991, 2);
    blocks[0].numbers[2] = text;
    page = test::BlockLayoutPage(blocks);
  } else {
    std::vector<Heading> headings = test::ConsecutiveHeadings(1991, 4);
    headings[2].number = text;
    page = test::HeadingLayoutPage(headings);
  }
  const auto history = HistoryUpTo(1990);
  const Status read = ReadResultPageText(pageName, page, *history);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find("第 1993 回"), std::string::npos) << read.message();
  EXPECT_EQ(history->count, 1992);
  ExpectSiteDrawsAfter(*history, 1990);
}

INSTANTIATE_TEST_SUITE_P(Texts, BadWinningNumberTest,
                         testing::Combine(testing::Values("num1991.html", "num3-h1991.html"),
                                          testing::Values("抽せん", "33", "4444", "-12", "0x1",
                                                          "abc", "   ", "")));

struct PageCase {
  const char* name;
  const char* pageName;
  std::string text;
  int startCount;
  int lastTaken;
  const char* messagePart;
};

class UntiedDrawsTest : public testing::TestWithParam<PageCase> {};

// Pages whose draws cannot be shown to follow the history, or that run past
// the last draw the file can hold.
TEST_P(UntiedDrawsTest, TakesOnlyTheDrawsThatFollowTheHistory) {
  const PageCase& c = GetParam();
  const auto history = HistoryUpTo(c.startCount);
  const Status read = ReadResultPageText(c.pageName, c.text, *history);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find(c.messagePart), std::string::npos) << read.message();
  EXPECT_EQ(history->count, c.lastTaken);
  ExpectSiteDrawsAfter(*history, c.startCount);
}

std::vector<Block> Unanchored(std::vector<Block> blocks, std::size_t from) {
  for (std::size_t b = from; b < blocks.size(); ++b)
    blocks[b].anchored = false;
  return blocks;
}

// Draws 2001 and 2002 only, with the block of 2006 right after them.
std::vector<Block> ShortBlockBeforeAnother() {
  std::vector<Block> blocks = test::ConsecutiveBlocks(2001, 2);
  blocks[0].numbers.resize(2);
  blocks[1] = test::ConsecutiveBlocks(2006, 1)[0];
  return blocks;
}

std::string HeadingWithoutNumberBeforeTheNext() {
  const std::string open = test::Sjis("<B>第");
  const std::string close = test::Sjis("回</b>");
  return open + "0011" + close + "<B></B>" + open + "0012" + close + "<B>456</B>";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, UntiedDrawsTest,
    testing::Values(
        // Once stored as draws 7089 to 7093.
        PageCase{"BlocksWithoutAnchors", "num9000.html",
                 test::BlockLayoutPage(Unanchored(test::ConsecutiveBlocks(9000, 1), 0)), 7088, 7088,
                 "第 7089 回"},
        PageCase{"SecondBlockWithoutAnchor", "num1991.html",
                 test::BlockLayoutPage(Unanchored(test::ConsecutiveBlocks(1991, 2), 1)), 1990, 1995,
                 "第 1996 回"},
        // Once the next block's numbers were taken as 2003 to 2005.
        PageCase{"ShortBlockBeforeAnother", "num2001.html",
                 test::BlockLayoutPage(ShortBlockBeforeAnother()), 2000, 2002, "第 2003 回"},
        PageCase{"HeadingsStartingAboveTheNextDraw", "num3-h7090.html",
                 test::HeadingLayoutPage(test::ConsecutiveHeadings(7090, 2)), 7088, 7088,
                 "第 7089 回"},
        PageCase{"HeadingsWithAGap", "num3-h7089.html",
                 test::HeadingLayoutPage({{7089, WinningNumberOf(7089)}, {7091, "111"}}), 7088,
                 7089, "第 7090 回"},
        // Once the number of draw 12 was taken as draw 11's.
        PageCase{"HeadingWithoutItsNumber", "num3-h0011.html", HeadingWithoutNumberBeforeTheNext(),
                 10, 10, "第 11 回"},
        PageCase{"BlocksRunningPastDraw9999", "num9996.html",
                 test::BlockLayoutPage(test::ConsecutiveBlocks(9996, 2)), 9995, 9999,
                 "当選番号ファイルに記録できるのは第 9999 回までです。"},
        PageCase{"HeadingsRunningPastDraw9999", "num3-h9998.html",
                 test::HeadingLayoutPage(test::ConsecutiveHeadings(9998, 4)), 9997, 9999,
                 "当選番号ファイルに記録できるのは第 9999 回までです。"}),
    [](const testing::TestParamInfo<PageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kitebar
