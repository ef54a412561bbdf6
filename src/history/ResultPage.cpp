#include "history/ResultPage.h"

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
constexpr std::size_t kWinningNumberWidth = 3;
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

// Appends the winning number written at `position`; a value that does not fit
// the three-character field, or a field cut by the end of the text, is left
// out.
Status AppendWinningNumberAt(std::string_view text, std::size_t position, DrawHistory& history) {
  const std::optional<int> value = ReadCompleteNumberAt(text, position, kWinningNumberWidth);
  const std::optional<std::string> digits = value ? WinningNumberText(*value) : std::nullopt;
  if (!digits)
    return Status::Ok();
  return history.AppendImportedDraw(*digits);
}

Status GapMessage(int pageDraw, int expected) {
  return Status::Failure("ページの第 " + FormatInt(pageDraw) + " 回は第 " + FormatInt(expected) +
                         " 回に続きません。第 " + FormatInt(expected) +
                         " 回からの当選番号を手で登録してから、もう一度実行してください。");
}

// Reads one block: the bold opens in its window, after the first `skip` ones,
// up to the fifth. `firstDraw` is the block's anchor, when it has one.
Status ReadBlock(std::string_view text, std::size_t heading, int skip, std::optional<int> firstDraw,
                 DrawHistory& history) {
  const std::size_t windowStart = heading + kBlockWindowOffset;
  int bolds = 0;
  for (std::size_t q = windowStart; q < windowStart + kBlockWindowLength && bolds < kDrawsPerBlock;
       ++q) {
    if (!PatternAtIgnoringCase(text, q, page_pattern::kBoldOpen))
      continue;
    ++bolds;
    if (bolds <= skip)
      continue;
    if (firstDraw && *firstDraw + bolds - 1 != history.count + 1) {
      return GapMessage(*firstDraw + bolds - 1, history.count + 1);
    }
    if (Status appended = AppendWinningNumberAt(text, q + page_pattern::kBoldOpen.size(), history);
        !appended) {
      return appended;
    }
  }
  return Status::Ok();
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
  int occurrence = 0;
  for (std::size_t p = text.find(page_pattern::kBlockHeading); p != std::string_view::npos;
       p = text.find(page_pattern::kBlockHeading, p + 1)) {
    ++occurrence;
    if (occurrence < start.blockIndex)
      continue;
    const int skip = occurrence == start.blockIndex ? start.skipCount : 0;
    const auto index = static_cast<std::size_t>(occurrence - 1);
    const std::optional<int> firstDraw =
        index < anchors.size() ? std::optional<int>(anchors[index]) : std::nullopt;
    if (Status read = ReadBlock(text, p, skip, firstDraw, history); !read)
      return read;
  }
  return Status::Ok();
}

Status ReadHeadingLayout(std::string_view text, DrawHistory& history) {
  using namespace page_pattern;
  for (std::size_t j = 0; j < text.size(); ++j) {
    if (!PatternAtIgnoringCase(text, j, kDrawHeadingOpen) ||
        !PatternAtIgnoringCase(text, j + kDrawHeadingOpen.size() + kDrawNumberWidth,
                               kDrawHeadingClose)) {
      continue;
    }
    if (ReadNumberAt(text, j + kDrawHeadingOpen.size(), kDrawNumberWidth) != history.count + 1) {
      continue;
    }
    for (std::size_t q = j; q < j + kHeadingWindowLength && q < text.size(); ++q) {
      if (PatternAtIgnoringCase(text, q, kBoldOpen) &&
          PatternAtIgnoringCase(text, q + kBoldCloseOffset, kBoldClose)) {
        if (Status appended = AppendWinningNumberAt(text, q + kBoldOpen.size(), history);
            !appended) {
          return appended;
        }
        break;
      }
    }
  }
  return Status::Ok();
}

Status ReadResultPageText(std::string_view pageName, std::string_view text, DrawHistory& history) {
  return UsesBlockLayout(pageName) ? ReadBlockLayout(text, history)
                                   : ReadHeadingLayout(text, history);
}

}  // namespace kitebar
