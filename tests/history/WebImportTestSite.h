#pragma once

#include <map>
#include <string>
#include <vector>

#include "ResultPageFixtures.h"
#include "common/NumberText.h"
#include "history/WebImport.h"

namespace kitebar::test {

// A result site whose newest draw is 2015: archive pages of 50 draws from
// 1951 and 2001 (the second one filled up to 2012), and two recent pages,
// num3-h2013.html with draws 2013 and 2014 and num3-h2015.html with 2015.
// Reading order from an empty history up to 1990: num1951.html,
// num2001.html, num3-h2013.html, num3-h2015.html.
inline std::map<std::string, std::string> StandardSitePages() {
  std::vector<Block> recentArchive = ConsecutiveBlocks(2001, 3);
  recentArchive[2].numbers.resize(2);  // 2011 and 2012 only
  return {
      {"/numbers/numtop01.html", IndexPage({"2015", "2013"}, {1901, 1951, 2001})},
      {"/numbers/num1951.html", BlockLayoutPage(ConsecutiveBlocks(1951, 10))},
      {"/numbers/num2001.html", BlockLayoutPage(recentArchive)},
      {"/numbers/num3-h2013.html", HeadingLayoutPage(ConsecutiveHeadings(2013, 2))},
      {"/numbers/num3-h2015.html", HeadingLayoutPage(ConsecutiveHeadings(2015, 1))},
  };
}

inline const std::vector<std::string>& StandardQueue() {
  static const std::vector<std::string> queue{"num1951.html", "num2001.html", "num3-h2013.html",
                                              "num3-h2015.html"};
  return queue;
}

// "kitebarnum.dat" with the draws 1 to `last` as the site has them.
inline std::string HistoryFileUpTo(int last) {
  std::string text;
  for (int n = 1; n <= last; ++n)
    text += FormatZeroPadded(n, 4) + "," + WinningNumberOf(n) + "\r\n";
  return text;
}

inline std::string BaseIni(const std::string& baseUrl, const std::string& bookmark = "") {
  std::string ini = "[TvalUrl]\r\nBaseURL=" + baseUrl + "\r\n";
  if (!bookmark.empty())
    ini += "EndURL=" + bookmark + "\r\n";
  return ini;
}

// The dialog's side of the run, as a record of what it was asked to show.
class RecordingView final : public ImportView {
 public:
  void SetBusy(bool isBusy) override { busy.push_back(isBusy); }
  void ShowTargetDraw(int draw) override { targetDraws.push_back(draw); }
  void RefreshControls() override { ++refreshes; }
  void RefillDrawList() override { ++refills; }

  std::vector<bool> busy;
  std::vector<int> targetDraws;
  int refreshes = 0;
  int refills = 0;
};

}  // namespace kitebar::test
