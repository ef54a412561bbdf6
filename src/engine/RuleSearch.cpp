#include "engine/RuleSearch.h"

#include <algorithm>
#include <cmath>

#include "engine/WalkForwardPredictor.h"

namespace kitebar {
namespace {

constexpr int kFirstTestableDraw = 2;
constexpr int kMiniClassCount = 10;
constexpr DigitTriple kZeroDigits{0, 0, 0};
constexpr int kStopDigitSettings = 1000;  // three stop digits

int DigitOfStop(const WindmillSettings& settings, int offset) {
  const auto at = static_cast<std::size_t>(offset);
  if (at >= settings.stopConstant.size())
    return -1;
  const char code = settings.stopConstant[at];
  return IsDigitCode(code) ? code - '0' : -1;
}

int Hundredths(float value) {
  return std::isfinite(value) ? static_cast<int>(std::lround(value * 100.0)) : -1;
}

// The twelve values as stored, unclamped; -1 stands for a value that is no
// setting of the search at all (a missing stop digit, a point that is not a
// number).
std::array<int, kSearchedValueCount> StoredValues(const WindmillSettings& settings) {
  std::array<int, kSearchedValueCount> values{};
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const auto place = static_cast<std::size_t>(PlaceOfTripleOffset(offset));
    const auto at = [offset](SearchedKind kind) {
      return static_cast<std::size_t>(static_cast<int>(kind) * kPlacesPerTriple + offset);
    };
    values[at(SearchedKind::kStopDigit)] = DigitOfStop(settings, offset);
    values[at(SearchedKind::kReachPoint)] = Hundredths(settings.startToReach[place]);
    values[at(SearchedKind::kHitPoint)] = Hundredths(settings.startToHit[place]);
    values[at(SearchedKind::kSpeed)] = settings.speedIndex[place];
  }
  return values;
}

SearchedSetting WithStopDigits(SearchedSetting setting, int digits) {
  for (int offset = kPlacesPerTriple - 1; offset >= 0; --offset) {
    setting.values[static_cast<std::size_t>(offset)] = static_cast<std::int16_t>(digits % 10);
    digits /= 10;
  }
  return setting;
}

}  // namespace

int RuleClassCount(HitKind kind) {
  return kind == HitKind::kMini ? kMiniClassCount : kRuleCount;
}

int RuleClassOf(HitKind kind, int rule) {
  return kind == HitKind::kMini ? rule % 10 : rule;
}

int AddStepCodes(int a, int b) {
  return (a / 10 + b / 10) % 10 * 10 + (a % 10 + b % 10) % 10;
}

int SubtractStepCodes(int a, int b) {
  return (a / 10 - b / 10 + 10) % 10 * 10 + (a % 10 - b % 10 + 10) % 10;
}

int RuleOf(const SettingsType& set, float diameter, int stepNum) {
  const WalkForwardPredictor predictor(set, diameter, stepNum);
  return CandidateSets::Get().Code(predictor.KeyFromPreviousWinning(kZeroDigits)).stepCode;
}

std::vector<RuleResult> ScoreEveryRule(const PreparedHistory& training, HitKind kind) {
  const CandidateSets& sets = CandidateSets::Get();
  const int classes = RuleClassCount(kind);
  std::vector<KindTally> tallies(static_cast<std::size_t>(classes));
  int draws = 0;
  for (int n = kFirstTestableDraw; n <= training.count(); ++n) {
    const PreparedDraw& draw = training.draw(n);
    const PreparedDraw& before = training.draw(n - 1);
    if (!draw.hasWinningNumber || !before.hasWinningNumber)
      continue;
    ++draws;
    for (int ruleClass = 0; ruleClass < classes; ++ruleClass) {
      // A mini class is represented by its rule without a hundreds-to-tens
      // step: every rule of the class hits and misses alike.
      const int code = AddStepCodes(before.winningShape.stepCode, ruleClass);
      const SetCode set{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code % 10)};
      const int chance = ChanceOf(sets.Chances(code), kind);
      KindTally& tally = tallies[static_cast<std::size_t>(ruleClass)];
      tally.hits += IsHit(Compare(set, draw.winningShape), kind) ? 1 : 0;
      tally.chanceThousandths += chance;
      ++tally.drawsAtChance[static_cast<std::size_t>(chance)];
    }
  }
  std::vector<RuleResult> results;
  results.reserve(tallies.size());
  HitDistribution scratch(draws);
  for (int ruleClass = 0; ruleClass < classes; ++ruleClass) {
    results.push_back(
        {ruleClass, draws, SummarizeKind(tallies[static_cast<std::size_t>(ruleClass)], scratch)});
  }
  return results;
}

bool RanksAbove(const RuleResult& a, const RuleResult& b) {
  if (a.summary.pValue != b.summary.pValue)
    return a.summary.pValue < b.summary.pValue;
  return a.summary.hits > b.summary.hits;
}

SearchedSetting SearchedSettingOf(const WindmillSettings& settings) {
  const std::array<int, kSearchedValueCount> stored = StoredValues(settings);
  SearchedSetting setting;
  for (int value = 0; value < kSearchedValueCount; ++value) {
    const SearchedRange& range =
        kSearchedRanges[static_cast<std::size_t>(value / kPlacesPerTriple)];
    const int read = stored[static_cast<std::size_t>(value)];
    const bool stopDigit = value < kPlacesPerTriple;
    setting.values[static_cast<std::size_t>(value)] = static_cast<std::int16_t>(
        stopDigit && read < 0 ? 0 : std::clamp(read, range.low, range.high));
  }
  return setting;
}

int ChangedValues(const SearchedSetting& setting, const WindmillSettings& settings) {
  const std::array<int, kSearchedValueCount> stored = StoredValues(settings);
  int changes = 0;
  for (std::size_t value = 0; value < stored.size(); ++value)
    changes += setting.values[value] != stored[value] ? 1 : 0;
  return changes;
}

SettingForRule ClosestSettingOfRule(const WindmillSettings& base, HitKind kind, int ruleClass,
                                    float diameter, int stepNum) {
  const SearchedSetting start = SearchedSettingOf(base);
  SettingForRule closest{start, -1};
  for (int digits = 0; digits < kStopDigitSettings; ++digits) {
    const SearchedSetting setting = WithStopDigits(start, digits);
    const int changes = ChangedValues(setting, base);
    if (closest.changes >= 0 && changes >= closest.changes)
      continue;
    if (RuleClassOf(kind, RuleOf(EngineSetOf(setting), diameter, stepNum)) == ruleClass)
      closest = {setting, changes};
  }
  return closest;
}

}  // namespace kitebar
