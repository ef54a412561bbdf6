#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ResultPageFixtures.h"
#include "history/DrawHistory.h"
#include "history/PageText.h"
#include "history/ResultPage.h"
#include "support/CaseNames.h"

namespace kitebar {
namespace {

using test::Block;
using test::Heading;
using test::WinningNumberOf;

// A history of draws 1 to `count`, in memory only.
std::unique_ptr<DrawHistory> HistoryUpTo(int count) {
  auto history = std::make_unique<DrawHistory>("unused.dat");
  for (int n = 1; n <= count; ++n)
    EXPECT_TRUE(history->AppendImportedDraw(WinningNumberOf(n)).ok());
  return history;
}

// The draws after `from` as (number, digits) texts, for comparison.
std::vector<std::string> DrawsAfter(const DrawHistory& history, int from) {
  std::vector<std::string> draws;
  for (int n = from + 1; n <= history.count; ++n) {
    draws.push_back(std::string(history.record(n).numberText()) + "," +
                    std::string(history.record(n).digitsText()));
  }
  return draws;
}

std::vector<std::string> ExpectedDraws(int first, int last) {
  std::vector<std::string> draws;
  for (int n = first; n <= last; ++n)
    draws.push_back(FormatZeroPadded(n, 4) + "," + WinningNumberOf(n));
  return draws;
}

TEST(PagePatternTest, JapanesePatternsAreTheirShiftJisBytes) {
  EXPECT_EQ(page_pattern::kPastDataMarker, test::Sjis("★過去のデータ★"));
  EXPECT_EQ(page_pattern::kBlockHeading, test::Sjis("ＢＥＲＳ３"));
  EXPECT_EQ(page_pattern::kDrawHeadingOpen, test::Sjis("<B>第"));
  EXPECT_EQ(page_pattern::kDrawHeadingClose, test::Sjis("回</b>"));
}

TEST(PageTextTest, ReadsNumbersFromAFixedWindowInsideTheText) {
  EXPECT_EQ(ReadNumberAt("x 12y", 1, 3), 12);
  EXPECT_EQ(ReadNumberAt("1a2", 0, 3), 1);
  EXPECT_EQ(ReadNumberAt("abc", 0, 3), 0);
  EXPECT_EQ(ReadNumberAt("-12", 0, 3), 0);
  EXPECT_EQ(ReadNumberAt("12345", 0, 4), 1234);
  EXPECT_EQ(ReadNumberAt("98", 0, 3), 98);  // cut at the end of the text
  EXPECT_EQ(ReadNumberAt("98", 5, 3), 0);
  EXPECT_FALSE(PatternAt("<B", 0, "<B>"));
  EXPECT_FALSE(PatternAt("<B>", 4, "<B>"));
  EXPECT_TRUE(PatternAtIgnoringCase("x<b>", 1, "<B>"));
}

class WinningNumberTextTest
    : public testing::TestWithParam<std::pair<std::string, std::optional<std::string>>> {};

// Only three ASCII digits not followed by a fourth are a winning number;
// anything else once became 000 or a number the page did not show.
TEST_P(WinningNumberTextTest, OnlyThreeDigitsAreAWinningNumber) {
  EXPECT_EQ(WinningNumberAt("<B>" + GetParam().first, 3), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WinningNumberTextTest,
    testing::Values(std::pair{"007</B>", "007"}, std::pair{"999", "999"}, std::pair{"123x", "123"},
                    std::pair{"4444</B>", std::nullopt}, std::pair{" 12", std::nullopt},
                    std::pair{"12", std::nullopt}),
    [](const auto& info) { return test::CaseName(info.param.first, info.index); });

struct BlockStartCase {
  int startCount;
  int blockIndex;
  int skipCount;
};

class BlockStartTest : public testing::TestWithParam<BlockStartCase> {};

TEST_P(BlockStartTest, RanksTheBlockAfterTheLastKnownDraw) {
  const BlockStart start = FindBlockStart({1991, 1996, 2001, 2006}, GetParam().startCount);
  EXPECT_EQ(start.blockIndex, GetParam().blockIndex);
  EXPECT_EQ(start.skipCount, GetParam().skipCount);
}

INSTANTIATE_TEST_SUITE_P(Anchors, BlockStartTest,
                         testing::Values(BlockStartCase{1990, 1, 0}, BlockStartCase{1991, 1, 1},
                                         BlockStartCase{2000, 2, 5}, BlockStartCase{2003, 3, 3},
                                         BlockStartCase{2005, 3, 5}, BlockStartCase{2010, 4, 5},
                                         BlockStartCase{2011, 5, 0}, BlockStartCase{3000, 5, 0}),
                         [](const testing::TestParamInfo<BlockStartCase>& info) {
                           return "LastKnownDraw" + std::to_string(info.param.startCount);
                         });

struct BlockReadCase {
  int startCount;
  int firstNew;  // the first draw expected, or none when above lastNew
};

class BlockLayoutTest : public testing::TestWithParam<BlockReadCase> {};

TEST_P(BlockLayoutTest, TakesTheDrawsAfterTheHistory) {
  const std::string page = test::BlockLayoutPage(test::ConsecutiveBlocks(1991, 4));
  const auto history = HistoryUpTo(GetParam().startCount);
  EXPECT_TRUE(ReadBlockLayout(page, *history).ok());
  EXPECT_EQ(DrawsAfter(*history, GetParam().startCount), ExpectedDraws(GetParam().firstNew, 2010));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BlockLayoutTest,
    testing::Values(BlockReadCase{1990, 1991},   // right before the first block
                    BlockReadCase{2003, 2004},   // inside a block: its 4th and 5th, then on
                    BlockReadCase{2005, 2006},   // the last draw of a block
                    BlockReadCase{2010, 2011},   // the page is known already
                    BlockReadCase{2400, 2401}),  // beyond every anchor
    [](const testing::TestParamInfo<BlockReadCase>& info) {
      return "LastKnownDraw" + std::to_string(info.param.startCount);
    });

TEST(BlockLayoutTest, APageThatDoesNotJoinTheHistoryAddsNothing) {
  // Draw 1991 would otherwise be stored as draw 1981.
  const std::string page = test::BlockLayoutPage(test::ConsecutiveBlocks(1991, 2));
  const auto history = HistoryUpTo(1980);
  EXPECT_FALSE(ReadBlockLayout(page, *history).ok());
  EXPECT_EQ(history->count, 1980);
}

TEST(BlockLayoutTest, AMissingBlockStopsTheReadingBeforeTheGap) {
  std::vector<Block> blocks = test::ConsecutiveBlocks(1991, 4);
  blocks.erase(blocks.begin() + 2);  // draws 2001 to 2005 missing
  const auto history = HistoryUpTo(1990);
  EXPECT_FALSE(ReadBlockLayout(test::BlockLayoutPage(blocks), *history).ok());
  EXPECT_EQ(DrawsAfter(*history, 1990), ExpectedDraws(1991, 2000));
}

TEST(BlockLayoutTest, ReadsOnlyTheBoldNumbersInsideTheWindow) {
  const std::string heading = test::Sjis("ＢＥＲＳ３");
  std::string page = "<A href=\"#11\">" + heading + std::string(12, '-') + "<B>111<B>222" +
                     std::string(400, '-') + "<B>333";
  const auto history = HistoryUpTo(10);
  EXPECT_TRUE(ReadBlockLayout(page, *history).ok());
  EXPECT_EQ(DrawsAfter(*history, 10), (std::vector<std::string>{"0011,111", "0012,222"}));
}

TEST(HeadingLayoutTest, TakesAscendingDrawsFromCountOn) {
  const std::string page = test::HeadingLayoutPage(test::ConsecutiveHeadings(6000, 5));
  const auto history = HistoryUpTo(6001);
  EXPECT_TRUE(ReadHeadingLayout(page, *history).ok());
  EXPECT_EQ(DrawsAfter(*history, 6001), ExpectedDraws(6002, 6004));
}

TEST(HeadingLayoutTest, NewestFirstGivesOneDrawPerReading) {
  const std::string page =
      test::HeadingLayoutPage({{6003, "333"}, {6002, "222"}, {6001, "111"}, {6000, "000"}});
  const auto history = HistoryUpTo(6000);
  EXPECT_TRUE(ReadHeadingLayout(page, *history).ok());
  EXPECT_EQ(DrawsAfter(*history, 6000), std::vector<std::string>{"6001,111"});
}

TEST(HeadingLayoutTest, IgnoresLetterCaseAndNeedsTheNumberWithinReach) {
  const std::string open = test::Sjis("<b>第");
  const std::string close = test::Sjis("回</B>");
  const std::string page = open + "0011" + close + "<B>123</b>" + open + "0012" + close +
                           std::string(260, ' ') + "<B>456</B>";
  const auto history = HistoryUpTo(10);
  // Draw 12 shows no number within reach: the page stops there.
  const Status read = ReadHeadingLayout(page, *history);
  EXPECT_NE(read.message().find("第 12 回"), std::string::npos) << read.message();
  EXPECT_EQ(DrawsAfter(*history, 10), std::vector<std::string>{"0011,123"});
}

// Whatever the place where a page is cut, reading it gives the beginning of
// its draws and never reads past the text.
TEST(ResultPageTest, EveryCutOfAPageGivesTheBeginningOfItsDraws) {
  const std::string blocks = test::BlockLayoutPage(test::ConsecutiveBlocks(1991, 2));
  const std::string headings = test::HeadingLayoutPage(test::ConsecutiveHeadings(1991, 4));
  for (const auto& [name, page] :
       {std::pair{"num1991.html", blocks}, {"num3-h0001.html", headings}}) {
    const std::vector<std::string> all = ExpectedDraws(1991, name[3] == '3' ? 1994 : 2000);
    const auto history = HistoryUpTo(1990);
    for (std::size_t length = 0; length <= page.size(); ++length) {
      history->count = 1990;
      // A copy of exactly `length` bytes, so that a sanitizer sees any overread.
      const std::string cut = page.substr(0, length);
      // A cut within a number or before it stops the reading; either way
      // only the draws before the cut are taken.
      (void)ReadResultPageText(name, cut, *history);
      const std::vector<std::string> got = DrawsAfter(*history, 1990);
      ASSERT_LE(got.size(), all.size());
      ASSERT_TRUE(std::equal(got.begin(), got.end(), all.begin())) << name << " " << length;
    }
  }
}

TEST(ResultPageTest, APageWithoutPatternsAddsNothing) {
  const auto history = HistoryUpTo(3);
  EXPECT_TRUE(ReadResultPageText("num0001.html", "HTTP/1.0 200 OK\r\n\r\nhello", *history).ok());
  EXPECT_TRUE(ReadResultPageText("num3-h0001.html", "HTTP/1.0 200 OK\r\n\r\nhello", *history).ok());
  EXPECT_EQ(history->count, 3);
}

}  // namespace
}  // namespace kitebar
