#include "history/ResultPage.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/NumberText.h"
#include "history/IndexPage.h"
#include "history/PageText.h"

namespace kitebar {
namespace {

constexpr std::size_t kMaxAnchors = 100;
constexpr std::size_t kAnchorStep = 4;
constexpr std::size_t kAnchorNumberWidth = 5;
constexpr int kDrawsPerBlock = 5;
// The five winning numbers of a block stand within 308 bytes from 22 bytes
// after its heading.
constexpr std::size_t kBlockWindowOffset = 22;
constexpr std::size_t kBlockWindowLength = 308;
constexpr std::size_t kDrawNumberWidth = 4;
// From a draw heading, its winning number is searched within 256 positions.
constexpr std::size_t kHeadingWindowLength = 256;
constexpr std::size_t kBoldCloseOffset = 6;

std::vector<int> BlockAnchors(std::string_view text) {
  std::vector<int> anchors;
  for (std::size_t p = text.find(page_pattern::kBlockAnchor);
       p != std::string_view::npos && anchors.size() < kMaxAnchors;
       p = text.find(page_pattern::kBlockAnchor, p + kAnchorStep)) {
    anchors.push_back(
        ReadNumberAt(text, p + page_pattern::kBlockAnchor.size(), kAnchorNumberWidth));
  }
  return anchors;
}

// Where a page breaks off, the draws before stay; the user registers the
// draw the page does not show soundly and runs the import again.
std::string RegisterByHandAdvice(int draw) {
  return "第 " + FormatInt(draw) +
         " 回からの当選番号を手で登録してから、もう一度実行してください。";
}

Status GapMessage(int pageDraw, int expected) {
  return Status::Failure("ページの第 " + FormatInt(pageDraw) + " 回は第 " + FormatInt(expected) +
                         " 回に続きません。" + RegisterByHandAdvice(expected));
}

Status UnreadableNumberMessage(int draw) {
  return Status::Failure("ページの第 " + FormatInt(draw) +
                         " 回の当選番号が 3 桁の数字ではありません。" + RegisterByHandAdvice(draw));
}

Status MissingAnchorMessage(int draw) {
  return Status::Failure("ページの第 " + FormatInt(draw) +
                         " 回を含むはずのブロックに回の番号がなく、どの回か確かめられません。" +
                         RegisterByHandAdvice(draw));
}

// Appends the winning number written at `position` as the next draw; any
// other text there stops the page.
Status AppendWinningNumberAt(std::string_view text, std::size_t position, DrawHistory& history) {
  const std::optional<std::string> digits = WinningNumberAt(text, position);
  if (!digits)
    return UnreadableNumberMessage(history.count + 1);
  return history.AppendImportedDraw(*digits);
}

// Reads one block: the bold opens in its window (which ends at the next
// block's heading), after the first `skip` ones, up to the fifth. Every draw
// taken must be shown by the block's anchor to be the next one.
Status ReadBlock(std::string_view text, std::size_t windowStart, std::size_t windowEnd, int skip,
                 std::optional<int> firstDraw, DrawHistory& history) {
  int bolds = 0;
  for (std::size_t q = windowStart; q < windowEnd && bolds < kDrawsPerBlock; ++q) {
    if (!PatternAtIgnoringCase(text, q, page_pattern::kBoldOpen))
      continue;
    ++bolds;
    if (bolds <= skip)
      continue;
    if (!firstDraw)
      return MissingAnchorMessage(history.count + 1);
    if (*firstDraw + bolds - 1 != history.count + 1) {
      return GapMessage(*firstDraw + bolds - 1, history.count + 1);
    }
    if (Status appended = AppendWinningNumberAt(text, q + page_pattern::kBoldOpen.size(), history);
        !appended) {
      return appended;
    }
  }
  return Status::Ok();
}

struct DrawHeading {
  std::size_t position = 0;
  std::size_t end = 0;
  int draw = 0;
};

// The draw number of a heading at `j`: four characters (as the pages write
// it), or five digits, which only a page running past draw 9999 shows.
std::optional<DrawHeading> DrawHeadingAt(std::string_view text, std::size_t j) {
  using namespace page_pattern;
  if (!PatternAtIgnoringCase(text, j, kDrawHeadingOpen))
    return std::nullopt;
  const std::size_t number = j + kDrawHeadingOpen.size();
  if (PatternAtIgnoringCase(text, number + kDrawNumberWidth, kDrawHeadingClose)) {
    return DrawHeading{j, number + kDrawNumberWidth + kDrawHeadingClose.size(),
                       ReadNumberAt(text, number, kDrawNumberWidth)};
  }
  const std::string_view wide = CharactersAt(text, number, kDrawNumberWidth + 1);
  if (wide.size() == kDrawNumberWidth + 1 &&
      std::all_of(wide.begin(), wide.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      PatternAtIgnoringCase(text, number + wide.size(), kDrawHeadingClose)) {
    return DrawHeading{j, number + wide.size() + kDrawHeadingClose.size(),
                       ReadNumberAt(text, number, wide.size())};
  }
  return std::nullopt;
}

std::vector<DrawHeading> DrawHeadings(std::string_view text) {
  std::vector<DrawHeading> headings;
  for (std::size_t j = text.find(page_pattern::kBoldOpen.substr(0, 1)); j != std::string_view::npos;
       j = text.find(page_pattern::kBoldOpen.substr(0, 1), j + 1)) {
    if (const std::optional<DrawHeading> heading = DrawHeadingAt(text, j))
      headings.push_back(*heading);
  }
  return headings;
}

// The winning number of a heading's draw: the first bold text of three bytes
// after the heading, before the next heading and within reach.
Status AppendHeadingDraw(std::string_view text, const DrawHeading& heading, std::size_t nextHeading,
                         DrawHistory& history) {
  using namespace page_pattern;
  const std::size_t end =
      std::min({heading.position + kHeadingWindowLength, nextHeading, text.size()});
  for (std::size_t q = heading.end; q < end; ++q) {
    if (PatternAtIgnoringCase(text, q, kBoldOpen) &&
        PatternAtIgnoringCase(text, q + kBoldCloseOffset, kBoldClose)) {
      return AppendWinningNumberAt(text, q + kBoldOpen.size(), history);
    }
  }
  return UnreadableNumberMessage(heading.draw);
}

}  // namespace

BlockStart FindBlockStart(const std::vector<int>& anchors, int startCount) {
  BlockStart start;
  for (int anchor : anchors) {
    if (anchor <= startCount && startCount <= anchor + kDrawsPerBlock - 1) {
      start.skipCount = startCount - anchor + 1;
      break;
    }
    if (startCount > anchor + kDrawsPerBlock - 1)
      ++start.blockIndex;
  }
  return start;
}

Status ReadBlockLayout(std::string_view text, DrawHistory& history) {
  const std::vector<int> anchors = BlockAnchors(text);
  const BlockStart start = FindBlockStart(anchors, history.count);
  std::vector<std::size_t> headings;
  for (std::size_t p = text.find(page_pattern::kBlockHeading); p != std::string_view::npos;
       p = text.find(page_pattern::kBlockHeading, p + 1)) {
    headings.push_back(p);
  }
  for (std::size_t index = static_cast<std::size_t>(start.blockIndex - 1); index < headings.size();
       ++index) {
    const int skip = index + 1 == static_cast<std::size_t>(start.blockIndex) ? start.skipCount : 0;
    const std::optional<int> firstDraw =
        index < anchors.size() ? std::optional<int>(anchors[index]) : std::nullopt;
    const std::size_t windowStart = headings[index] + kBlockWindowOffset;
    const std::size_t nextHeading = index + 1 < headings.size() ? headings[index + 1] : text.size();
    const std::size_t windowEnd = std::min(windowStart + kBlockWindowLength, nextHeading);
    if (Status read = ReadBlock(text, windowStart, windowEnd, skip, firstDraw, history); !read)
      return read;
  }
  return Status::Ok();
}

Status ReadHeadingLayout(std::string_view text, DrawHistory& history) {
  const std::vector<DrawHeading> headings = DrawHeadings(text);
  for (std::size_t i = 0; i < headings.size(); ++i) {
    if (headings[i].draw != history.count + 1)
      continue;
    const std::size_t next = i + 1 < headings.size() ? headings[i + 1].position : text.size();
    if (Status appended = AppendHeadingDraw(text, headings[i], next, history); !appended)
      return appended;
  }
  // The page shows draws beyond the history but not the next one (a newest
  // first page still shows it): a gap, and the page must not count as read.
  int firstBeyond = 0;
  for (const DrawHeading& heading : headings) {
    if (heading.draw > history.count && (firstBeyond == 0 || heading.draw < firstBeyond))
      firstBeyond = heading.draw;
  }
  if (firstBeyond != 0 && firstBeyond != history.count + 1)
    return GapMessage(firstBeyond, history.count + 1);
  return Status::Ok();
}

Status ReadResultPageText(std::string_view pageName, std::string_view text, DrawHistory& history) {
  return UsesBlockLayout(pageName) ? ReadBlockLayout(text, history)
                                   : ReadHeadingLayout(text, history);
}

}  // namespace kitebar
