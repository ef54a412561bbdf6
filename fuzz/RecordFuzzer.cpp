// Feeds arbitrary text to the prediction record's reader and scores what it
// accepts: every line it takes is exactly the line Kitebar writes for that
// entry after the ones before it, its lines ascend and stop before the
// broken one, and the score counts each draw once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/NumberText.h"
#include "engine/PredictionRecord.h"
#include "engine/RecordScore.h"
#include "history/DrawHistory.h"

namespace {

using kitebar::fuzz::Require;

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end == std::string_view::npos ? text.size() : end + 1));
    text.remove_prefix(lines.back().size());
  }
  return lines;
}

// Draws 1 to 20, draw n with winning number 37n mod 1000.
const kitebar::DrawHistory& SmallHistory() {
  static const kitebar::DrawHistory history = [] {
    kitebar::DrawHistory made{"unused.dat"};
    std::string text;
    for (int n = 1; n <= 20; ++n)
      text += kitebar::FormatZeroPadded(n, 4) + "," + kitebar::FormatZeroPadded(37 * n % 1000, 3) +
              "\r\n";
    made.LoadText(text);
    return made;
  }();
  return history;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = kitebar::fuzz::AsText(data, size);
  const kitebar::ParsedRecord record = kitebar::ParseRecord(text);
  const std::vector<std::string_view> lines = LinesOf(text);
  Require(record.lines <= static_cast<int>(lines.size()));
  Require(!record.broken || record.broken->line == record.lines + 1);
  std::string chain(kitebar::kRecordGenesis);
  int previousLine = 0;
  for (const kitebar::RecordEntry& entry : record.entries) {
    Require(entry.line > previousLine && entry.line <= record.lines);
    const std::string written = kitebar::RecordLine(entry, chain);
    Require(lines[static_cast<std::size_t>(entry.line - 1)] == written);
    chain = written.substr(written.size() - 65, 64);
    previousLine = entry.line;
  }
  Require(record.head == chain);

  const kitebar::LiveScore score = kitebar::ScoreRecord(record, SmallHistory());
  Require(score.scoredDraws + score.waitingDraws == score.draws);
  for (const kitebar::KindSummary& kind : score.kinds)
    Require(kind.hits >= 0 && kind.hits <= score.scoredDraws && kind.pValue >= 0 &&
            kind.pValue <= 1 + 1e-9);
  return 0;
}
