#include "engine/PositionAnalysis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <optional>

#include "common/NumberText.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

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

bool HasThreeDigitNumber(const DrawRecord& record) {
  return std::all_of(record.digits.begin(), record.digits.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// An estimate is made from the winning number of the draw before; without
// one it would be made of whatever bytes the record holds.
Status RefuseEstimateWithoutNumber(const DrawHistory& history, int draw) {
  if (HasThreeDigitNumber(history.record(draw - 1)))
    return Status::Ok();
  return Status::Failure("第 " + FormatInt(draw) + " 回の風車位置を推定できません（第 " +
                         FormatInt(draw - 1) + " 回の当選番号が 3 桁の数字ではありません）。第 " +
                         FormatInt(draw - 1) +
                         " 回の当選番号を登録してから、もう一度解析してください。何も保存して"
                         "いません。");
}

// The draws that StoreMissingPositions would give a position, checked before
// anything is stored.
Status CheckEstimableDraws(const DrawHistory& history, int drawNumber) {
  for (int i = WindmillSimulator::kFirstRunnableDraw; i <= drawNumber; ++i) {
    const DrawRecord& record = history.record(i);
    if (!LacksPosition(record) || (!record.exists() && i != history.count + 1))
      continue;
    if (Status estimable = RefuseEstimateWithoutNumber(history, i); !estimable.ok())
      return estimable;
  }
  return Status::Ok();
}

Status RefuseUnanalysableDraw(int drawNumber, int last) {
  if (drawNumber >= WindmillSimulator::kFirstRunnableDraw && drawNumber <= last)
    return Status::Ok();
  return Status::Failure("第 " + FormatInt(drawNumber) +
                         " 回は解析できません（解析できるのは第 2 回から第 " + FormatInt(last) +
                         " 回までです）。" +
                         (drawNumber > WindmillSimulator::kLastRunnableDraw
                              ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                              : "当選番号を 1 回分以上登録してから解析してください。"));
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
  if (Status runnable = RefuseUnanalysableDraw(drawNumber, WindmillSimulator::kLastRunnableDraw);
      !runnable.ok()) {
    return runnable;
  }
  const bool automatic = mode == AnalysisMode::kAutomatic;
  std::optional<FolderLock> change;
  if (automatic) {
    Result<FolderLock> begun = BeginHistoryChange(history);
    if (!begun.ok())
      return begun.status();
    change.emplace(std::move(begun.value()));
    if (Status runnable = RefuseUnanalysableDraw(
            drawNumber, std::min(history.count + 1, WindmillSimulator::kLastRunnableDraw));
        !runnable.ok()) {
      return runnable;
    }
    if (Status estimable = CheckEstimableDraws(history, drawNumber); !estimable.ok())
      return estimable;
  } else if (Status estimable = RefuseEstimateWithoutNumber(history, drawNumber); !estimable.ok()) {
    return estimable;
  }
  auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = drawNumber;
  if (Status ran = simulator->RunDraws(history, automatic, typeIndex); !ran.ok())
    return ran;

  PositionAnalysis analysis;
  if (automatic) {
    StoreMissingPositions(history, *simulator);
    if (Status saved = history.Save(); !saved.ok()) {
      return saved.Wrapped("推定した風車位置を保存できませんでした（", "）");
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
