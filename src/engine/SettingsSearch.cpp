#include "engine/SettingsSearch.h"

#include <algorithm>
#include <bitset>
#include <limits>

#include "common/WorkerPool.h"
#include "engine/WalkForwardPredictor.h"

namespace kitebar {
namespace {

constexpr int kRefinementRound = 256;
constexpr int kFirstRadius = 128;  // hundredths
constexpr std::int32_t kNotTried = std::numeric_limits<std::int32_t>::min();
constexpr DigitTriple kZeroDigits{0, 0, 0};

std::int32_t ExcessThousandths(const KindScore& score) {
  return static_cast<std::int32_t>(std::int64_t{score.hits} * kChanceDenominator -
                                   score.chanceThousandths);
}

double ToHits(std::int64_t thousandths) {
  return static_cast<double>(thousandths) / kChanceDenominator;
}

// One run of the search. Each setting's score lands in the slot of its
// number, whichever thread computed it; the best is then picked by going
// through the slots in order.
class Search {
 public:
  Search(const SettingScorer& scorer, const SearchOptions& options, const SearchMonitor& monitor)
      : scorer_(scorer),
        options_(options),
        monitor_(monitor),
        budget_(std::max(options.budget, 1)),
        pool_(std::clamp(options.threads, 1, kMaximumSearchThreads)),
        excess_(static_cast<std::size_t>(budget_), kNotTried),
        rules_(static_cast<std::size_t>(budget_), 0) {}

  SearchResult Run() {
    // The sample is one batch: every wait for the slowest thread costs time
    // on a busy machine.
    const int sampled = budget_ - budget_ / 4;
    const auto sample = [this](int n) { return RandomSetting(options_.seed, n); };
    RunBatch(0, sampled, sample);
    TakeBestOfBatch(0, sampled, sample);
    int radius = kFirstRadius;
    for (int first = sampled; first < budget_ && !StopRequested(); first += kRefinementRound) {
      const int count = std::min(kRefinementRound, budget_ - first);
      const auto neighbour = [this, centre = best_, radius](int n) {
        return NeighbourSetting(centre, radius, options_.seed, n);
      };
      RunBatch(first, count, neighbour);
      if (!TakeBestOfBatch(first, count, neighbour))
        radius = radius > 1 ? radius / 2 : kFirstRadius;
    }
    return Finish();
  }

 private:
  bool StopRequested() const {
    return monitor_.stop != nullptr && monitor_.stop->load(std::memory_order_relaxed);
  }

  // Scores settings first to first + count - 1, setting n being make(n).
  template <typename Make>
  void RunBatch(int first, int count, const Make& make) {
    pool_.ForEach(
        count,
        [&](int item) {
          const int number = first + item;
          if (number > 0 && StopRequested())
            return;
          const SettingScore scored = scorer_.Score(make(number));
          const std::int32_t excess = ExcessThousandths(scored.score);
          excess_[static_cast<std::size_t>(number)] = excess;
          rules_[static_cast<std::size_t>(number)] = static_cast<std::uint8_t>(scored.rule);
          tried_.fetch_add(1, std::memory_order_relaxed);
          RaiseHighestSoFar(excess);
        },
        [this] { Report(); });
  }

  // For the progress only: the result does not depend on the order in which
  // the threads raise it.
  void RaiseHighestSoFar(std::int32_t excess) {
    std::int32_t highest = highestSoFar_.load(std::memory_order_relaxed);
    while (excess > highest &&
           !highestSoFar_.compare_exchange_weak(highest, excess, std::memory_order_relaxed)) {
    }
  }

  // On the calling thread, when settings were tried since the last report.
  void Report() {
    const int tried = tried_.load(std::memory_order_relaxed);
    if (!monitor_.progress || tried == reported_)
      return;
    reported_ = tried;
    const std::int32_t highest = highestSoFar_.load(std::memory_order_relaxed);
    monitor_.progress({tried, budget_, highest == kNotTried ? 0.0 : ToHits(highest)});
  }

  // The batch's best (its highest score, the first of equals) becomes the
  // best when it scores more, or when there is none yet; returns whether it
  // did.
  template <typename Make>
  bool TakeBestOfBatch(int first, int count, const Make& make) {
    int batchBest = -1;
    for (int number = first; number < first + count; ++number) {
      const std::int32_t excess = excess_[static_cast<std::size_t>(number)];
      if (excess != kNotTried &&
          (batchBest < 0 || excess > excess_[static_cast<std::size_t>(batchBest)])) {
        batchBest = number;
      }
    }
    if (batchBest < 0)
      return false;
    const std::int32_t excess = excess_[static_cast<std::size_t>(batchBest)];
    if (bestNumber_ >= 0 && excess <= excess_[static_cast<std::size_t>(bestNumber_)])
      return false;
    bestNumber_ = batchBest;
    best_ = make(batchBest);
    return true;
  }

  SearchResult Finish() {
    SearchResult result;
    result.best = best_;
    result.bestNumber = bestNumber_;
    result.bestScore = scorer_.Score(best_).score;
    std::bitset<kStepCodeCount> rules;
    result.excessThousandths.reserve(static_cast<std::size_t>(tried_.load()));
    for (std::size_t number = 0; number < excess_.size(); ++number) {
      if (excess_[number] == kNotTried)
        continue;
      result.excessThousandths.push_back(excess_[number]);
      rules.set(static_cast<std::size_t>(rules_[number]));
    }
    result.tried = static_cast<int>(result.excessThousandths.size());
    result.distinctRules = static_cast<int>(rules.count());
    // A stop that came after the last setting cut nothing short.
    result.stopped = result.tried < budget_;
    return result;
  }

  const SettingScorer& scorer_;
  const SearchOptions& options_;
  const SearchMonitor& monitor_;
  const int budget_;
  WorkerPool pool_;
  std::vector<std::int32_t> excess_;
  std::vector<std::uint8_t> rules_;
  std::atomic<int> tried_{0};
  std::atomic<std::int32_t> highestSoFar_{kNotTried};
  int reported_ = 0;
  SearchedSetting best_;
  int bestNumber_ = -1;
};

}  // namespace

SettingScore SettingScorer::Score(const SearchedSetting& setting) const {
  const WalkForwardPredictor predictor(EngineSetOf(setting), diameter_, stepNum_);
  const int keyAfterZeros = predictor.KeyFromPreviousWinning(kZeroDigits);
  return {ScoreDraws(training_, predictor, range(), PositionSource::kEstimated, kind_),
          CandidateSets::Get().Code(keyAfterZeros).stepCode};
}

SearchResult SearchSettings(const SettingScorer& scorer, const SearchOptions& options,
                            const SearchMonitor& monitor) {
  return Search(scorer, options, monitor).Run();
}

}  // namespace kitebar
