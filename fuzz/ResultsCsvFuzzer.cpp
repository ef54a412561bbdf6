// Feeds arbitrary CSV text to the CSV loader against a history whose length
// the input chooses: a refused CSV leaves the history exactly as it was, an
// accepted one adds consecutive three-digit draws after the last one and
// leaves the draws before as they were.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace {

using kitebar::DrawHistory;
using kitebar::DrawRecord;
using kitebar::fuzz::Require;

// Draw n holds the winning number n mod 1000, so that a CSV can agree with it.
std::string DigitsOf(int n) {
  return kitebar::FormatZeroPadded(n % 1000, 3);
}

// One history for every input, as a load of draws 1 to `count` gives it. Only
// the slots that changed since the last input are rewritten.
class PatternHistory {
 public:
  DrawHistory& CutAt(int count) {
    ClearAfter(count);
    for (int n = filledUpTo_ + 1; n <= count; ++n) {
      DrawRecord& record = history_.record(n);
      std::copy_n(kitebar::FormatZeroPadded(n, 4).begin(), 4, record.number.begin());
      std::copy_n(DigitsOf(n).begin(), 3, record.digits.begin());
    }
    filledUpTo_ = count;
    history_.count = count;
    return history_;
  }

  // Undoes what an input appended after `count`.
  void ClearAfter(int count) {
    for (int n = count + 1; n <= std::max(filledUpTo_, history_.count); ++n)
      history_.record(n) = DrawRecord{};
    filledUpTo_ = std::min(filledUpTo_, count);
  }

 private:
  DrawHistory history_{"unused.dat"};
  int filledUpTo_ = 0;
};

bool IsPatternDraw(const DrawHistory& history, int n) {
  return history.record(n).numberText() == kitebar::FormatZeroPadded(n, 4) &&
         history.record(n).digitsText() == DigitsOf(n);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  // The first two bytes choose the history's length.
  const int count = (data[0] << 8 | data[1]) % (DrawHistory::kMaxDrawNumber + 1);
  const std::string_view csv = kitebar::fuzz::AsText(data + 2, size - 2);
  static PatternHistory pattern;
  DrawHistory& history = pattern.CutAt(count);

  const kitebar::Result<int> added = kitebar::MergeResultsCsv(history, csv);
  // A CSV line can touch at most one draw: these are all it could reach.
  const int lines = static_cast<int>(std::count(csv.begin(), csv.end(), '\n')) + 1;
  for (int n = std::max(1, count - lines); n <= count; ++n)
    Require(IsPatternDraw(history, n));
  if (!added.ok()) {
    Require(!added.message().empty());
    Require(history.count == count);
    for (int n = count + 1; n <= std::min(count + lines, DrawHistory::kMaxSlot); ++n)
      Require(!history.record(n).exists());
  } else {
    Require(*added >= 0 && history.count == count + *added);
    Require(history.count <= DrawHistory::kMaxDrawNumber);
    for (int n = count + 1; n <= history.count; ++n) {
      const DrawRecord& record = history.record(n);
      Require(record.numberText() == kitebar::FormatZeroPadded(n, 4));
      const std::string_view digits = record.digitsText();
      Require(digits.size() == 3 && IsDigit(digits[0]) && IsDigit(digits[1]) && IsDigit(digits[2]));
    }
  }
  pattern.ClearAfter(count);
  return 0;
}
