#include "engine/PredictionRun.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <type_traits>

#include "common/NumberText.h"
#include "common/Sha256.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"
#include "settings/SettingsFiles.h"

namespace kitebar {
namespace {

constexpr char kEstimatedStatus = '0';

std::string DrawName(int drawNumber) {
  return "第 " + FormatInt(drawNumber) + " 回";
}

template <std::size_t N>
bool IsThreeDigits(const std::array<char, N>& field) {
  return std::all_of(field.begin(), field.begin() + kPlacesPerTriple,
                     [](char c) { return IsDigitCode(c); });
}

// A position counts as present when its first character is not below '0' as
// a signed byte (NUL and bytes from 0x80 up mean none).
bool HasStoredPosition(const DrawRecord& record) {
  return static_cast<signed char>(record.position[0]) >= '0';
}

// Estimates the windmill position of `drawNumber` from the winning number of
// the draw before and stores it as estimated, in memory.
Status EstimateAndStorePosition(DrawHistory& history, WindmillSimulator& simulator, int drawNumber,
                                int typeIndex) {
  // Without the winning number of the draw before, the estimate would be made
  // of non-digits and saved into the history.
  if (!IsThreeDigits(history.record(drawNumber - 1).digits)) {
    return Status::Failure(DrawName(drawNumber) + "の風車位置を推定できません（" +
                           DrawName(drawNumber - 1) + "の当選番号がありません）。" +
                           DrawName(drawNumber - 1) +
                           "の当選番号を登録してから、もう一度実行してください。");
  }
  if (Status run = simulator.RunDraws(history, false, typeIndex); !run.ok())
    return run;
  const std::string_view estimate =
      WindmillSimulator::Triple(simulator.estimatedPositions, drawNumber - 2);
  return history.SetPosition(drawNumber, estimate, kEstimatedStatus);
}

// Candidates from a position that never reached the file would be shown as a
// prediction that the history does not back: the run stops instead.
Status SaveEstimate(const DrawHistory& history, int drawNumber) {
  if (Status saved = history.Save(); !saved.ok()) {
    return saved.Wrapped("当選番号ファイル（" + history.file().string() + "）に書き込めないため、" +
                         DrawName(drawNumber) + "の予想を中止しました。");
  }
  return Status::Ok();
}

// A float in its shortest text that reads back to the same value: the same
// on every platform.
std::string ExactText(float value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

template <typename T, std::size_t N>
std::string PlaceValues(std::string_view key, const std::array<T, N>& values) {
  std::string text(key);
  for (const T& value : values) {
    if constexpr (std::is_same_v<T, float>) {
      text += ' ' + ExactText(value);
    } else {
      text += ' ' + FormatInt(value);
    }
  }
  return text + "\n";
}

constexpr std::size_t kDigestDigits = 12;

// The values the simulator computed the candidates with, one per line in a
// fixed order, and its digest.
std::string SettingsDigestOf(const WindmillSimulator& simulator, int settingsType) {
  const std::string text =
      "set " + FormatInt(settingsType) + "\nstep " + FormatInt(simulator.stepNum) + "\ndiameter " +
      ExactText(simulator.targetDiameter) + "\nstop " +
      std::string(DrawRecord::FieldText(simulator.stopConstant)) + "\n" +
      PlaceValues("reach", simulator.startToReach) + PlaceValues("hit", simulator.startToHit) +
      PlaceValues("speed", simulator.speedOffset);
  return Sha256Hex(text).substr(0, kDigestDigits);
}

Result<Prediction> ComputePrediction(DrawHistory& history, int drawNumber, bool showListing) {
  auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = drawNumber;
  const int typeIndex = ReadStartIndex();
  const DrawRecord& record = history.record(drawNumber);
  Prediction prediction;
  if (!HasStoredPosition(record)) {
    if (Status estimated = EstimateAndStorePosition(history, *simulator, drawNumber, typeIndex);
        !estimated.ok()) {
      return estimated;
    }
    prediction.estimated = true;
  }
  // A hand-edited file can hold anything; non-digits would reach the page.
  if (!IsThreeDigits(record.position)) {
    return Status::Failure(DrawName(drawNumber) +
                           "の風車位置が数字3桁ではないため、予想できません。風車位置を 3 桁の"
                           "数字で登録し直してから、もう一度実行してください。");
  }
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    simulator->inputPosition[static_cast<std::size_t>(offset)] =
        static_cast<std::uint16_t>(record.position[static_cast<std::size_t>(offset)]);
  }
  simulator->PredictCandidates(typeIndex);
  prediction.drawNumber = drawNumber;
  prediction.candidates = simulator->candidates;
  prediction.settingsType = UsableSettingsTypeIndex(typeIndex);
  prediction.settingsDigest = SettingsDigestOf(*simulator, prediction.settingsType);
  if (showListing)
    prediction.listing = CandidateListing(prediction.candidates);
  return prediction;
}

Status RefuseUnrunnableDraw(int drawNumber) {
  if (WindmillSimulator::IsRunnableDraw(drawNumber))
    return Status::Ok();
  return Status::Failure(DrawName(drawNumber) +
                         "は予想できません（抽選回数は 2 から 9999 までです）。" +
                         (drawNumber > WindmillSimulator::kLastRunnableDraw
                              ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                              : "当選番号を 1 回分以上登録してから予想してください。"));
}

// The run that estimates as a change of its own: under the write lock, on the
// history as its file holds it now.
Result<Prediction> PredictionRunAsChange(DrawHistory& history, int drawNumber, bool showListing) {
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  Result<Prediction> prediction = ComputePrediction(history, drawNumber, showListing);
  if (prediction.ok() && prediction->estimated) {
    if (Status saved = SaveEstimate(history, drawNumber); !saved.ok())
      return saved;
  }
  return prediction;
}

}  // namespace

std::string CandidateText(const CandidateTable& candidates, int k) {
  std::string text;
  for (const Place place : {kHundreds, kTens, kUnits}) {
    text += static_cast<char>(candidates[place][static_cast<std::size_t>(k - 1)] & 0xFF);
  }
  return text;
}

std::string CandidateListing(const CandidateTable& candidates) {
  std::string listing;
  for (int k = 1; k <= kCandidateCount; ++k) {
    listing += FormatInt(k) + ": ";
    for (const Place place : {kHundreds, kTens, kUnits}) {
      listing += FormatInt(candidates[place][static_cast<std::size_t>(k - 1)] - '0');
    }
    listing += " \r\n";
  }
  return listing;
}

Result<Prediction> PredictionRun(DrawHistory& history, int drawNumber, bool showListing,
                                 EstimateSave save) {
  if (Status runnable = RefuseUnrunnableDraw(drawNumber); !runnable.ok())
    return runnable;
  // Only a run that will write needs the lock; one that reads a stored
  // position computes at once.
  if (save == EstimateSave::kNow && !HasStoredPosition(history.record(drawNumber)))
    return PredictionRunAsChange(history, drawNumber, showListing);
  return ComputePrediction(history, drawNumber, showListing);
}

Result<Prediction> PredictNextDraw(DrawHistory& history) {
  // The next draw is the one after the last in the file now, so the change
  // begins before the draw is chosen; the run enters it.
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  return PredictionRun(history, history.count + 1, false);
}

PredictionHolder::PredictionHolder() {
  for (auto& row : predictedCandidates)
    row.fill('0');
}

Status PredictionHolder::PredictionRun(DrawHistory& history, int drawNumber, bool showListing) {
  predictionDrawNumber = drawNumber;
  Result<Prediction> prediction = kitebar::PredictionRun(history, drawNumber, showListing);
  if (!prediction.ok())
    return prediction.status();
  predictedCandidates = prediction->candidates;
  if (showListing)
    resultText = prediction->listing;
  return Status::Ok();
}

}  // namespace kitebar
