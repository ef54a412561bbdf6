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
#include "support/CaseNames.h"

namespace kitebar {
namespace {

using test::Block;
using test::WinningNumberOf;

// Reads `page` on a history of draws 1 to `startCount`; the draws taken must
// be the fixtures' own, up to `lastTaken`, and the failure must name `part`.
void ExpectStop(const char* pageName, const std::string& page, int startCount, int lastTaken,
                const std::string& part) {
  auto history = std::make_unique<DrawHistory>("unused.dat");
  for (int n = 1; n <= startCount; ++n)
    ASSERT_TRUE(history->AppendImportedDraw(WinningNumberOf(n)).ok());
  const Status read = ReadResultPageText(pageName, page, *history);
  EXPECT_NE(read.message().find(part), std::string::npos) << read.message();
  EXPECT_EQ(history->count, lastTaken);
  for (int n = startCount + 1; n <= history->count; ++n)
    EXPECT_EQ(history->record(n).digitsText(), WinningNumberOf(n)) << "draw " << n;
}

class BadWinningNumberTest : public testing::TestWithParam<std::tuple<const char*, std::string>> {};

// Draw 1993 shows `text` in the place of its number (with nothing there, a
// heading page once gave it the number of draw 1994).
TEST_P(BadWinningNumberTest, StopsAtTheDrawAndKeepsTheDrawsBefore) {
  const auto& [pageName, text] = GetParam();
  std::vector<Block> blocks = test::ConsecutiveBlocks(1991, 2);
  std::vector<test::Heading> headings = test::ConsecutiveHeadings(1991, 4);
  blocks[0].numbers[2] = headings[2].number = text;
  ExpectStop(
      pageName,
      UsesBlockLayout(pageName) ? test::BlockLayoutPage(blocks) : test::HeadingLayoutPage(headings),
      1990, 1992, "第 1993 回");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadWinningNumberTest,
    testing::Combine(testing::Values("num1991.html", "num3-h1991.html"),
                     testing::Values("抽せん", "33", "4444", "-12", "0x1", "abc", "   ", "")),
    [](const auto& info) {
      const bool block = UsesBlockLayout(std::get<0>(info.param));
      return test::CaseName((block ? "block " : "heading ") + std::get<1>(info.param), info.index);
    });

struct PageCase {
  const char* name;
  const char* pageName;
  std::string page;
  int startCount;
  int lastTaken;
  const char* part;
};

class UntiedDrawsTest : public testing::TestWithParam<PageCase> {};

TEST_P(UntiedDrawsTest, TakesOnlyTheDrawsThatFollowTheHistory) {
  const PageCase& c = GetParam();
  ExpectStop(c.pageName, c.page, c.startCount, c.lastTaken, c.part);
}

std::string WithoutAnchors(int firstDraw) {
  std::vector<Block> blocks = test::ConsecutiveBlocks(firstDraw, 1);
  blocks[0].anchored = false;
  return test::BlockLayoutPage(blocks);
}

// Draws 2001 and 2002, then right after them the block of 2006.
std::string ShortBlockBeforeAnother() {
  std::vector<Block> blocks = test::ConsecutiveBlocks(2001, 2);
  blocks[0].numbers.resize(2);
  blocks[1] = test::ConsecutiveBlocks(2006, 1)[0];
  return test::BlockLayoutPage(blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, UntiedDrawsTest,
    testing::Values(
        // Once stored as draws 7089 to 7093.
        PageCase{"BlocksWithoutAnchors", "num9000.html", WithoutAnchors(9000), 7088, 7088,
                 "第 7089 回"},
        // Once the next block's numbers were taken as 2003 to 2005.
        PageCase{"ShortBlockBeforeAnother", "num2001.html", ShortBlockBeforeAnother(), 2000, 2002,
                 "第 2003 回"},
        // Once read as a page without new draws.
        PageCase{"HeadingsStartingAboveTheNextDraw", "num3-h7090.html",
                 test::HeadingLayoutPage(test::ConsecutiveHeadings(7090, 2)), 7088, 7088,
                 "第 7089 回"},
        PageCase{"HeadingsWithAGap", "num3-h7089.html",
                 test::HeadingLayoutPage({{7089, WinningNumberOf(7089)}, {7091, "111"}}), 7088,
                 7089, "第 7090 回"},
        PageCase{"HeadingsRunningPastDraw9999", "num3-h9998.html",
                 test::HeadingLayoutPage(test::ConsecutiveHeadings(9998, 4)), 9997, 9999,
                 "当選番号ファイルに記録できるのは第 9999 回までです。"}),
    [](const testing::TestParamInfo<PageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kitebar
