#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ResultPageFixtures.h"
#include "history/IndexPage.h"

namespace kitebar {
namespace {

using Names = std::vector<std::string>;

TEST(IndexPageTest, QueuesArchivePagesStillNeededThenRecentPagesLastFoundFirst) {
  const std::string page = test::IndexPage({"2403", "2402", "2401"}, {1950, 1990, 2040});
  EXPECT_EQ(BuildPageQueue(page, 2000), (Names{"num1990.html", "num2040.html", "num3-h2401.html",
                                               "num3-h2402.html", "num3-h2403.html"}));
}

TEST(IndexPageTest, AnArchivePageIsNeededUntilItsFiftiethDrawIsKnown) {
  const std::string page = test::IndexPage({}, {1951});
  EXPECT_EQ(BuildPageQueue(page, 1999), Names{"num1951.html"});
  EXPECT_EQ(BuildPageQueue(page, 2000), Names{});
}

TEST(IndexPageTest, APageWithoutThePastDataMarkerGivesNoQueue) {
  EXPECT_FALSE(BuildPageQueue(test::Sjis("<A href=\"num3-h0001.html\">"), 0).has_value());
  EXPECT_FALSE(BuildPageQueue("", 0).has_value());
}

TEST(IndexPageTest, RecentLinksAfterTheMarkerAndArchiveLinksBeforeItAreNotRead) {
  const std::string marker = test::Sjis("★過去のデータ★");
  const std::string page = "<A href=\"num0500.html\">" + marker + "<A href=\"num3-h9999.html\">";
  // After the marker a recent link also reads as an archive link, of number 3.
  EXPECT_EQ(BuildPageQueue(page, 0), Names{"num0003.html"});
}

TEST(IndexPageTest, LinksCutByTheEndOfThePageOrUnfitForAUrlAreSkipped) {
  const std::string marker = test::Sjis("★過去のデータ★");
  EXPECT_EQ(BuildPageQueue("<A href=\"num3-h12\r\n[x]" + marker, 0), Names{});
  EXPECT_EQ(BuildPageQueue("<A href=\"num3-h1 2.html" + marker, 0), Names{});
  EXPECT_EQ(BuildPageQueue(marker + "<A href=\"num12", 0), Names{});
}

TEST(IndexPageTest, APageLinkedTwiceIsQueuedOnceWhereItComesFirst) {
  const std::string page = test::IndexPage({"2402", "2401", "2402"}, {1990, 2040, 1990});
  EXPECT_EQ(BuildPageQueue(page, 2000),
            (Names{"num1990.html", "num2040.html", "num3-h2402.html", "num3-h2401.html"}));
}

TEST(IndexPageTest, TheQueueHoldsAtMostAThousandPages) {
  std::vector<std::string> keys;
  for (int i = 0; i < 700; ++i)
    keys.push_back(FormatZeroPadded(i, 4));
  std::vector<int> archives;
  for (int i = 0; i < 1200; ++i)
    archives.push_back(i * 5 + 1);
  const std::optional<Names> queue = BuildPageQueue(test::IndexPage(keys, archives), 0);
  ASSERT_TRUE(queue.has_value());
  ASSERT_EQ(queue->size(), kMaxQueuedPages);
  EXPECT_EQ(queue->front(), "num0001.html");
  EXPECT_EQ(queue->back(), "num" + FormatZeroPadded(999 * 5 + 1, 4) + ".html");
}

TEST(IndexPageTest, LayoutFollowsTheLengthOfThePageName) {
  EXPECT_TRUE(UsesBlockLayout("num0001.html"));
  EXPECT_TRUE(UsesBlockLayout("num3-h01.html"));  // 13 characters
  EXPECT_FALSE(UsesBlockLayout("num3-h001.html"));
  EXPECT_FALSE(UsesBlockLayout("num3-h2401.html"));
}

}  // namespace
}  // namespace kitebar
