#pragma once

#include <string_view>
#include <vector>

#include "common/Status.h"
#include "history/DrawHistory.h"

namespace kitebar {

// Reading one result page's text into the history: the winning numbers of
// the draws after the history's last complete draw are appended, each as
// draw count + 1. A page that holds none of the patterns appends nothing.
// Only three ASCII digits are a winning number; where a page shows anything
// else, or does not show which draw comes next, reading stops with a message
// naming the draw, and the draws appended before it stay.

// Where the block layout starts reading: the 1-based rank of the block that
// holds the draw after `startCount`, and how many of its draws are known.
struct BlockStart {
  int blockIndex = 1;
  int skipCount = 0;
};
BlockStart FindBlockStart(const std::vector<int>& anchors, int startCount);

// Archive pages: blocks of five draws, each with an anchor naming its first
// draw and a heading followed by five bold winning numbers. Fails when a
// block's draws do not join the history (a gap or an overlap would number
// every later draw wrongly), a block to be read has no anchor, a winning
// number is not three digits or the history is full.
Status ReadBlockLayout(std::string_view text, DrawHistory& history);

// Recent pages: one heading per draw with its draw number; a draw is taken
// only when its number is count + 1. Fails when that draw's winning number is
// not three digits, when the page shows draws beyond the history but not the
// next one (a gap), or when the history is full.
Status ReadHeadingLayout(std::string_view text, DrawHistory& history);

// The layout that `pageName` calls for.
Status ReadResultPageText(std::string_view pageName, std::string_view text, DrawHistory& history);

}  // namespace kitebar
