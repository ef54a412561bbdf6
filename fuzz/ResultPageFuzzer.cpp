// Feeds arbitrary page text to the result-page reader: the index page's
// queue and both result-page layouts must stay inside the text and keep the
// history well-formed, whatever the page holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"
#include "history/IndexPage.h"
#include "history/ResultPage.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// One history for every input (it is large); each run starts it at the
// count that the input chooses.
kitebar::DrawHistory& History() {
  static kitebar::DrawHistory history("unused.dat");
  static const bool filled = [] {
    for (int n = 1; n <= kitebar::DrawHistory::kMaxDrawNumber; ++n) {
      Require(history.AppendImportedDraw("000").ok());
    }
    return true;
  }();
  (void)filled;
  return history;
}

void CheckQueue(std::string_view page, int startCount) {
  const std::optional<std::vector<std::string>> queue = kitebar::BuildPageQueue(page, startCount);
  if (!queue)
    return;
  Require(queue->size() <= kitebar::kMaxQueuedPages);
  for (const std::string& name : *queue) {
    Require(name.size() <= 15);
    for (char c : name)
      Require(c > ' ' && c < '\x7F');
  }
}

void CheckResultPage(std::string_view page, int startCount, bool blockLayout) {
  kitebar::DrawHistory& history = History();
  history.count = startCount;
  const std::string_view name = blockLayout ? "num0001.html" : "num3-h0001.html";
  (void)kitebar::ReadResultPageText(name, page, history);
  Require(history.count >= startCount && history.count <= kitebar::DrawHistory::kMaxDrawNumber);
  for (int n = startCount + 1; n <= history.count; ++n) {
    const std::string_view digits = history.record(n).digitsText();
    Require(digits.size() == 3 && IsDigit(digits[0]) && IsDigit(digits[1]) && IsDigit(digits[2]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3)
    return 0;
  // The first two bytes choose the history's count, the third the layout.
  const int startCount = (data[0] << 8 | data[1]) % (kitebar::DrawHistory::kMaxDrawNumber + 1);
  const bool blockLayout = (data[2] & 1) != 0;
  const std::string page(reinterpret_cast<const char*>(data) + 3, size - 3);
  CheckQueue(page, startCount);
  CheckResultPage(page, startCount, blockLayout);
  (void)kitebar::HttpFetcher::IsStatusOk(page);
  return 0;
}
