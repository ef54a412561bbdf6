#include "engine/PreparedHistory.h"

#include <algorithm>

#include "history/DrawHistory.h"

namespace kitebar {
namespace {

template <std::size_t N>
bool FirstThreeAreDigits(const std::array<char, N>& field) {
  return std::all_of(field.begin(), field.begin() + kPlacesPerTriple,
                     [](char c) { return IsDigitCode(c); });
}

template <std::size_t N>
DigitTriple DigitsOf(const std::array<char, N>& field) {
  return {static_cast<std::uint8_t>(field[0] - '0'), static_cast<std::uint8_t>(field[1] - '0'),
          static_cast<std::uint8_t>(field[2] - '0')};
}

// The prediction run takes a position as present when its first character is
// not below '0' as a signed byte, and then needs three digits.
StoredPosition StoredPositionOf(const DrawRecord& record) {
  if (static_cast<signed char>(record.position[0]) < '0')
    return StoredPosition::kNone;
  if (!FirstThreeAreDigits(record.position))
    return StoredPosition::kUnusable;
  return record.status == '1' ? StoredPosition::kDecided : StoredPosition::kEstimated;
}

}  // namespace

PreparedHistory::PreparedHistory(const DrawHistory& history)
    : PreparedHistory(history, history.count) {}

PreparedHistory::PreparedHistory(const DrawHistory& history, int lastDraw)
    : draws_(static_cast<std::size_t>(std::clamp(lastDraw, 0, std::max(history.count, 0))) + 1) {
  for (int n = 1; n <= count(); ++n) {
    const DrawRecord& record = history.record(n);
    PreparedDraw& draw = draws_[static_cast<std::size_t>(n)];
    draw.storedPosition = StoredPositionOf(record);
    if (draw.storedPosition != StoredPosition::kNone &&
        draw.storedPosition != StoredPosition::kUnusable) {
      draw.positionDigits = DigitsOf(record.position);
    }
    draw.hasWinningNumber = FirstThreeAreDigits(record.digits);
    if (!draw.hasWinningNumber)
      continue;
    draw.winningDigits = DigitsOf(record.digits);
    const int number =
        draw.winningDigits[0] * 100 + draw.winningDigits[1] * 10 + draw.winningDigits[2];
    draw.winningShape = WinningShapeOf(number);
  }
}

}  // namespace kitebar
