#include "engine/SettingsSearch.h"

#include <algorithm>
#include <bitset>
#include <limits>

#include "common/WorkerPool.h"
#include "engine/WalkForwardPredictor.h"

namespace kitebar {
namespace {

constexpr int kSamplingBatch = 512;
constexpr int kRefinementRound = 64;
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
    const int sampled = budget_ - budget_ / 4;
    for (int first = 0; first < sampled && !result_.stopped; first += kSamplingBatch) {
      const int count = std::min(kSamplingBatch, sampled - first);
      RunBatch(first, count, [this](int n) { return RandomSetting(options_.seed, n); });
      TakeBestOfBatch(first);
    }
    int radius = kFirstRadius;
    for (int first = sampled; first < budget_ && !result_.stopped; first += kRefinementRound) {
      const int count = std::min(kRefinementRound, budget_ - first);
      const SearchedSetting centre = result_.best;
      RunBatch(first, count, [this, &centre, radius](int n) {
        return NeighbourSetting(centre, radius, options_.seed, n);
      });
      if (!TakeBestOfBatch(first))
        radius = radius > 1 ? radius / 2 : kFirstRadius;
    }
    Finish();
    return std::move(result_);
  }

 private:
  bool StopRequested() const {
    return monitor_.stop != nullptr && monitor_.stop->load(std::memory_order_relaxed);
  }

  // Scores settings first to first + count - 1, setting n being make(n).
  template <typename Make>
  void RunBatch(int first, int count, Make make) {
    batchSettings_.resize(static_cast<std::size_t>(count));
    batchScores_.resize(static_cast<std::size_t>(count));
    pool_.ForEach(count, [&](int item) {
      const int number = first + item;
      if (number > 0 && StopRequested())
        return;
      const auto at = static_cast<std::size_t>(item);
      batchSettings_[at] = make(number);
      const SettingScore scored = scorer_.Score(batchSettings_[at]);
      batchScores_[at] = scored.score;
      excess_[static_cast<std::size_t>(number)] = ExcessThousandths(scored.score);
      rules_[static_cast<std::size_t>(number)] = static_cast<std::uint8_t>(scored.rule);
    });
    result_.stopped = StopRequested();
  }

  // The batch's best becomes the best when it scores more (or when there is
  // none yet); returns whether it did. Then reports the progress.
  bool TakeBestOfBatch(int first) {
    int bestItem = -1;
    for (int item = 0; item < static_cast<int>(batchScores_.size()); ++item) {
      const std::int32_t excess = excess_[static_cast<std::size_t>(first + item)];
      if (excess == kNotTried)
        continue;
      ++result_.tried;
      if (bestItem < 0 || excess > excess_[static_cast<std::size_t>(first + bestItem)]) {
        bestItem = item;
      }
    }
    bool improved = false;
    if (bestItem >= 0) {
      const std::int32_t excess = excess_[static_cast<std::size_t>(first + bestItem)];
      improved = !haveBest_ || excess > ExcessThousandths(result_.bestScore);
      if (improved) {
        haveBest_ = true;
        result_.best = batchSettings_[static_cast<std::size_t>(bestItem)];
        result_.bestNumber = first + bestItem;
        result_.bestScore = batchScores_[static_cast<std::size_t>(bestItem)];
      }
    }
    if (monitor_.progress)
      monitor_.progress({result_.tried, budget_, ToHits(ExcessThousandths(result_.bestScore))});
    return improved;
  }

  void Finish() {
    std::bitset<kStepCodeCount> rules;
    result_.excessThousandths.reserve(static_cast<std::size_t>(result_.tried));
    for (std::size_t number = 0; number < excess_.size(); ++number) {
      if (excess_[number] == kNotTried)
        continue;
      result_.excessThousandths.push_back(excess_[number]);
      rules.set(static_cast<std::size_t>(rules_[number]));
    }
    result_.distinctRules = static_cast<int>(rules.count());
    // A stop that came after the last setting cut nothing short.
    result_.stopped = result_.tried < budget_;
  }

  const SettingScorer& scorer_;
  const SearchOptions& options_;
  const SearchMonitor& monitor_;
  const int budget_;
  WorkerPool pool_;
  std::vector<std::int32_t> excess_;
  std::vector<std::uint8_t> rules_;
  std::vector<SearchedSetting> batchSettings_;
  std::vector<KindScore> batchScores_;
  bool haveBest_ = false;
  SearchResult result_;
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
