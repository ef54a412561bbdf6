// Feeds arbitrary bytes to the history reader as "kitebarnum.dat": loading
// never fails on a readable file and keeps the count within the four-digit
// draw numbers, a damaged file refuses every save, and what a save writes
// loses or changes no complete draw and is never damaged itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "history/DrawHistory.h"

namespace {

using kitebar::DrawHistory;
using kitebar::fuzz::Require;

// The history is large (40000 slots): one for every input.
DrawHistory& History() {
  static DrawHistory history(kitebar::fuzz::ScratchFile(kitebar::kHistoryFileName));
  return history;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool HasWinningNumber(const kitebar::DrawRecord& record) {
  const std::string_view digits = record.digitsText();
  return digits.size() == 3 && IsDigit(digits[0]) && IsDigit(digits[1]) && IsDigit(digits[2]);
}

bool SameRecord(const kitebar::DrawRecord& a, const kitebar::DrawRecord& b) {
  return a.number == b.number && a.digits == b.digits && a.position == b.position &&
         a.status == b.status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DrawHistory& history = History();
  kitebar::fuzz::WriteScratchFile(history.file(), kitebar::fuzz::AsText(data, size));
  Require(history.Load().ok());
  Require(history.count >= 0 && history.count <= DrawHistory::kMaxDrawNumber);
  // A damaged file is never written over.
  Require(history.CheckWhole().ok() == !history.damage());
  const std::string saved = history.SaveText();
  const DrawHistory before = history;

  // What Save writes loads back with every complete draw as it was, and
  // saves again to the same text. (The count itself may change for a
  // hand-made file: winning digits that begin with the pending mark 'x'.)
  kitebar::fuzz::WriteScratchFile(history.file(), saved);
  Require(history.Load().ok());
  Require(!history.damage());
  for (int n = 1; n <= before.count; ++n) {
    if (HasWinningNumber(before.record(n)))
      Require(SameRecord(history.record(n), before.record(n)));
  }
  Require(history.SaveText() == saved);
  return 0;
}
