#include "engine/PositionAnalysis.h"

#include <array>
#include <charconv>
#include <memory>

#include "common/NumberText.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// A position counts as missing when its first character is below '0' as a
// signed byte: empty, or any byte from 0x80 up.
bool LacksPosition(const DrawRecord& record) {
  return static_cast<signed char>(record.position[0]) < '0';
}

// Stores the estimates into the draws that have none. Only draws in the
// history receive one, and the next draw, which the estimate makes pending;
// a gap in the history stays a gap.
void StoreMissingPositions(DrawHistory& history, const WindmillSimulator& simulator) {
  for (int i = WindmillSimulator::kFirstRunnableDraw; i <= simulator.drawNumber; ++i) {
    const DrawRecord& record = history.record(i);
    if (!LacksPosition(record))
      continue;
    if (!record.exists() && i != history.count + 1)
      continue;
    history.SetPosition(i, WindmillSimulator::Triple(simulator.estimatedPositions, i - 2), '0');
  }
}

std::string BuildListing(const WindmillSimulator& simulator) {
  std::string listing;
  listing.reserve(static_cast<std::size_t>(simulator.drawNumber) * 12);
  // One line per draw, up to 9,998 of them: the number is written in place
  // rather than through a string of its own.
  std::array<char, 16> number{};
  for (int t = 0; t <= simulator.drawNumber - 2; ++t) {
    const std::string_view triple = WindmillSimulator::Triple(simulator.estimatedPositions, t);
    if (triple[0] == '\0')
      continue;
    const auto written = std::to_chars(number.data(), number.data() + number.size(), t + 1);
    listing.append(number.data(), written.ptr);
    listing += ": ";
    listing += triple;
    listing += " \r\n";
  }
  return listing;
}

}  // namespace

Result<PositionAnalysis> AnalysePositions(DrawHistory& history, int drawNumber, AnalysisMode mode,
                                          int typeIndex, Feedback& feedback) {
  feedback.SetProgress(10);
  if (!WindmillSimulator::IsRunnableDraw(drawNumber)) {
    return Status::Failure("第 " + FormatInt(drawNumber) +
                           " 回は解析できません（解析できるのは第 2 回から第 9999 回"
                           "までです）。" +
                           (drawNumber > WindmillSimulator::kLastRunnableDraw
                                ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                                : "当選番号を 1 回分以上登録してから解析してください。"));
  }
  auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = drawNumber;
  const bool automatic = mode == AnalysisMode::kAutomatic;
  if (Status ran = simulator->RunDraws(history, automatic, typeIndex); !ran.ok())
    return ran;

  PositionAnalysis analysis;
  if (automatic) {
    StoreMissingPositions(history, *simulator);
    if (Status saved = history.Save(); !saved.ok()) {
      return Status::Failure("推定した風車位置を保存できませんでした（" + saved.message() +
                             "）。フォルダーの書き込み権限と空き容量を確かめてから、もう一度解析"
                             "してください。");
    }
  } else {
    analysis.estimate =
        std::string(WindmillSimulator::Triple(simulator->estimatedPositions, drawNumber - 2));
  }
  analysis.listing = BuildListing(*simulator);
  feedback.SetProgress(100);
  return analysis;
}

}  // namespace kitebar
