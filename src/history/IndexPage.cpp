#include "history/IndexPage.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "common/NumberText.h"
#include "history/PageText.h"

namespace kitebar {
namespace {

// An archive page holds 50 draws from its number on; it is still needed while
// its last draw is not in the history.
constexpr int kArchiveSpan = 49;
constexpr std::size_t kLinkStep = 4;
constexpr std::size_t kArchiveNumberWidth = 4;
constexpr std::size_t kRecentKeyWidth = 4;
constexpr std::size_t kBlockLayoutNameLength = 14;

// The four characters of a recent link become part of a URL and of the
// bookmark line in "./base.ini": blanks, control and non-ASCII bytes there
// would break the request line or the settings file. A page cut within the
// key names no page.
bool IsSafePageKey(std::string_view key) {
  return key.size() == kRecentKeyWidth &&
         std::all_of(key.begin(), key.end(), [](char c) { return c > ' ' && c < '\x7F'; });
}

std::vector<int> ArchiveNumbers(std::string_view text, std::size_t marker) {
  std::vector<int> numbers;
  for (std::size_t p = marker; p < text.size() && numbers.size() < kMaxQueuedPages;) {
    if (PatternAt(text, p, page_pattern::kArchiveLink)) {
      const std::optional<int> number =
          ReadCompleteNumberAt(text, p + page_pattern::kArchiveLink.size(), kArchiveNumberWidth);
      if (number)
        numbers.push_back(*number);
      p += kLinkStep;
    } else {
      ++p;
    }
  }
  return numbers;
}

std::vector<std::string> RecentPageNames(std::string_view text, std::size_t marker) {
  std::vector<std::string> names;
  for (std::size_t p = 0; p < marker && names.size() < kMaxQueuedPages;) {
    if (PatternAt(text, p, page_pattern::kRecentLink)) {
      const std::string_view key =
          CharactersAt(text, p + page_pattern::kRecentLink.size(), kRecentKeyWidth);
      if (IsSafePageKey(key))
        names.push_back("num3-h" + std::string(key) + ".html");
      p += kLinkStep;
    } else {
      ++p;
    }
  }
  return names;
}

}  // namespace

std::optional<std::vector<std::string>> BuildPageQueue(std::string_view indexText, int startCount) {
  const std::size_t marker = indexText.find(page_pattern::kPastDataMarker);
  if (marker == std::string_view::npos)
    return std::nullopt;
  std::vector<std::string> queue;
  // A page named twice is read once, where it is first queued.
  std::unordered_set<std::string> queued;
  const auto enqueue = [&](std::string name) {
    if (queue.size() < kMaxQueuedPages && queued.insert(name).second)
      queue.push_back(std::move(name));
  };
  for (int number : ArchiveNumbers(indexText, marker)) {
    if (startCount < number + kArchiveSpan)
      enqueue("num" + FormatZeroPadded(number, 4) + ".html");
  }
  const std::vector<std::string> recent = RecentPageNames(indexText, marker);
  for (auto name = recent.rbegin(); name != recent.rend(); ++name)
    enqueue(*name);
  return queue;
}

bool UsesBlockLayout(std::string_view pageName) {
  return pageName.size() < kBlockLayoutNameLength;
}

}  // namespace kitebar
