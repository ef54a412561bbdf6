#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/PreparedHistory.h"
#include "engine/SearchSpace.h"
#include "engine/WalkForward.h"

namespace kitebar {

inline constexpr int kDefaultSearchBudget = 20000;
// Each setting tried keeps five bytes for the page: ten million stay within
// 50 MB.
inline constexpr int kMaximumSearchBudget = 10'000'000;
inline constexpr std::uint64_t kDefaultSearchSeed = 1;
inline constexpr int kMaximumSearchThreads = 256;

// The score of a setting: its walk-forward hits of one kind over the
// training draws less the hits expected by chance from the candidates it
// offered, and the candidate rule it amounts to.
struct SettingScore {
  KindScore score;
  // Within the search's ranges each place's candidates follow the sector of
  // the previous winning digit shifted by an amount of that place's own, and
  // a candidate set depends only on the steps between its places' sectors.
  // So the step code of the candidates offered after 000 (0 to 99) names the
  // whole rule: settings with equal rules offer the same candidate set every
  // draw, and score the same.
  int rule = 0;
};

// Scores settings over draws 2 to the last draw of `training`, with the step
// value and diameter of "./base.ini".
class SettingScorer {
 public:
  SettingScorer(const PreparedHistory& training, float diameter, int stepNum, HitKind kind)
      : training_(training), diameter_(diameter), stepNum_(stepNum), kind_(kind) {}

  SettingScore Score(const SearchedSetting& setting) const;
  DrawRange range() const { return {2, training_.count()}; }

 private:
  const PreparedHistory& training_;
  float diameter_;
  int stepNum_;
  HitKind kind_;
};

struct SearchOptions {
  int budget = kDefaultSearchBudget;  // settings to evaluate, 1 or more
  std::uint64_t seed = kDefaultSearchSeed;
  int threads = 1;  // 1 to kMaximumSearchThreads
};

// How far a search has come.
struct SearchProgress {
  int tried = 0;
  int budget = 0;
  double bestExcess = 0;  // hits less expected hits of the best so far
};

// What a caller does to a running search: ask it to stop (a flag that any
// thread or a signal handler may set; it is looked at before each setting)
// and follow it (called on the calling thread, often: keep it cheap).
struct SearchMonitor {
  const std::atomic<bool>* stop = nullptr;
  std::function<void(const SearchProgress&)> progress;
};

struct SearchResult {
  int tried = 0;  // the budget, unless stopped
  bool stopped = false;
  SearchedSetting best;
  std::int64_t bestNumber = 0;  // its number in the order of the search, from 0
  KindScore bestScore;
  // Hits less expected hits of every setting tried, in thousandths, in the
  // order of the search.
  std::vector<std::int32_t> excessThousandths;
  // The different candidate rules among the settings tried (at most 100).
  int distinctRules = 0;
};

// The search, in this order:
//  1. Sampling: settings 0 to K - K/4 - 1 (K the budget), setting n being
//     RandomSetting(seed, n).
//  2. Refinement: settings K - K/4 to K - 1, in rounds of 256. Every setting
//     of a round is NeighbourSetting(best so far, radius, seed, n); the
//     radius starts at 1.28, is halved after each round that found nothing
//     better and, after 0.01, starts again at 1.28.
// The best setting has the highest score; among equal scores it is the one
// tried first (so a round's setting replaces the best only when it scores
// more). Each score is kept under its setting's number and the best is
// picked in that order, so the result is the same for any thread count. A
// stopped search keeps what it had tried; setting 0 is always tried.
// Progress is reported on the calling thread after each setting it scored.
SearchResult SearchSettings(const SettingScorer& scorer, const SearchOptions& options,
                            const SearchMonitor& monitor = {});

}  // namespace kitebar
