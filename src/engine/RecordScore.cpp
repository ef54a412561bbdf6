#include "engine/RecordScore.h"

#include <algorithm>
#include <set>
#include <utility>

#include "engine/CandidateSets.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

// The winning numbers the record took for one draw, and how often the
// number changed.
struct DrawResults {
  int first = kNone;
  int last = kNone;
  int changes = 0;
  static constexpr int kNone = -1;
};

std::vector<DrawResults> ResultsByDraw(const ParsedRecord& record) {
  std::vector<DrawResults> results(DrawHistory::kMaxDrawNumber + 1);
  for (const RecordEntry& entry : record.entries) {
    if (entry.kind != RecordEntry::Kind::kResult)
      continue;
    DrawResults& draw = results[static_cast<std::size_t>(entry.draw)];
    if (draw.first == DrawResults::kNone)
      draw.first = entry.winning;
    else if (entry.winning != draw.last)
      ++draw.changes;
    draw.last = entry.winning;
  }
  return results;
}

// What a draw is scored against: the history's number (a change from the
// one last recorded counted), else the last one recorded.
struct Scored {
  std::optional<int> number;
  int first = 0;
  int changes = 0;
};

Scored ScoredNumber(const DrawResults& recorded, std::optional<int> held) {
  if (recorded.first == DrawResults::kNone)
    return {held, held.value_or(0), 0};
  if (held && *held != recorded.last)
    return {held, recorded.first, recorded.changes + 1};
  return {recorded.last, recorded.first, recorded.changes};
}

std::vector<std::size_t> PredictionsInRecordOrder(const ParsedRecord& record) {
  std::vector<std::size_t> order;
  order.reserve(record.entries.size());
  for (std::size_t i = 0; i < record.entries.size(); ++i) {
    if (record.entries[i].kind == RecordEntry::Kind::kPrediction)
      order.push_back(i);
  }
  return order;
}

// The prediction entries grouped by draw, each group in record order.
std::vector<std::size_t> PredictionsByDraw(const ParsedRecord& record) {
  std::vector<std::size_t> order = PredictionsInRecordOrder(record);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return record.entries[a].draw < record.entries[b].draw;
  });
  return order;
}

void Tally(const TestedDraw& draw, std::array<KindTally, kHitKindCount>& tallies) {
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    KindTally& tally = tallies[static_cast<std::size_t>(kind)];
    const int chance = ChanceOf(draw.chances, static_cast<HitKind>(kind));
    tally.hits += IsHit(draw.outcome, static_cast<HitKind>(kind)) ? 1 : 0;
    tally.chanceThousandths += chance;
    ++tally.drawsAtChance[static_cast<std::size_t>(chance)];
  }
}

void Summarize(const std::vector<TestedDraw>& tested, LiveCourses courses, LiveScore& score) {
  std::array<KindTally, kHitKindCount> tallies{};
  for (const TestedDraw& draw : tested)
    Tally(draw, tallies);
  HitDistribution scratch(std::max<int>(1, static_cast<int>(tested.size())));
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const auto k = static_cast<std::size_t>(kind);
    score.kinds[k] = SummarizeKind(tallies[k], scratch);
    if (courses == LiveCourses::kWith)
      score.courses[k] = CourseOfTestedDraws(tested, static_cast<HitKind>(kind));
  }
}

// Adds the winning numbers that `record` lacks, as one change of the folder:
// under the lock, with the history and the record read afresh, which
// `record` then holds.
Status AddMissingResults(DrawHistory& history, const std::filesystem::path& file,
                         Result<ParsedRecord>& record) {
  const Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  record = ReadPredictionRecord(file);
  if (!record.ok() || record->broken)
    return Status::Ok();
  const std::vector<RecordEntry> missing = MissingResults(*record, history);
  if (missing.empty())
    return Status::Ok();
  if (Status added = AppendRecordEntries(file, *record, missing); !added.ok())
    return added;
  record = ReadPredictionRecord(file);
  return Status::Ok();
}

}  // namespace

DrawOutcome OutcomeOf(const std::vector<int>& candidates, int winning) {
  DrawOutcome outcome;
  for (const int candidate : candidates) {
    outcome.straight = outcome.straight || candidate == winning;
    outcome.mini = outcome.mini || candidate % 100 == winning % 100;
  }
  outcome.box = !outcome.straight && std::any_of(candidates.begin(), candidates.end(), [&](int c) {
    return BoxClassOf(c) == BoxClassOf(winning);
  });
  return outcome;
}

LiveScore ScoreRecord(ParsedRecord record, const DrawHistory& history, LiveCourses courses) {
  LiveScore score;
  const std::vector<DrawResults> results = ResultsByDraw(record);
  const std::vector<std::size_t> order = PredictionsByDraw(record);
  std::set<std::pair<int, std::string>> settings;
  std::vector<TestedDraw> tested;
  std::vector<int> offered;
  std::vector<std::optional<int>> numberOf(record.entries.size());
  for (std::size_t group = 0; group < order.size();) {
    const int draw = record.entries[order[group]].draw;
    offered.clear();
    std::size_t end = group;
    for (; end < order.size() && record.entries[order[end]].draw == draw; ++end) {
      const RecordEntry& entry = record.entries[order[end]];
      offered.insert(offered.end(), entry.candidates.begin(), entry.candidates.end());
      settings.emplace(entry.settingsType, entry.digest);
      score.setsUsed[static_cast<std::size_t>(entry.settingsType)] = true;
    }
    ++score.draws;
    score.firstDraw = score.firstDraw == 0 ? draw : score.firstDraw;
    score.lastDraw = draw;
    const Scored scored =
        ScoredNumber(results[static_cast<std::size_t>(draw)], HeldWinningNumber(history, draw));
    if (!scored.number) {
      ++score.waitingDraws;
    } else {
      if (scored.changes > 0) {
        score.corrections += scored.changes;
        score.corrected.push_back({draw, scored.first, *scored.number, scored.changes});
      }
      tested.push_back({draw, 0, OutcomeOf(offered, *scored.number), ChanceLevelsOf(offered)});
      for (std::size_t i = group; i < end; ++i)
        numberOf[order[i]] = scored.number;
    }
    group = end;
  }
  score.settingsUsed = static_cast<int>(settings.size());
  score.scoredDraws = static_cast<int>(tested.size());
  std::vector<int> candidates(kCandidateCount);
  for (const std::size_t i : PredictionsInRecordOrder(record)) {
    LiveEntry entry{i, numberOf[i], {}};
    if (entry.winning) {
      candidates.assign(record.entries[i].candidates.begin(), record.entries[i].candidates.end());
      entry.outcome = OutcomeOf(candidates, *entry.winning);
    }
    score.entries.push_back(entry);
  }
  Summarize(tested, courses, score);
  score.record = std::move(record);
  return score;
}

LiveScore ScoreLiveRecord(DrawHistory& history, LiveCourses courses) {
  LiveScore score;
  const std::filesystem::path file = PredictionRecordFileOf(history);
  Result<ParsedRecord> record = ReadPredictionRecord(file);
  std::string sealProblem;
  if (record.ok() && !record->broken && !MissingResults(*record, history).empty()) {
    const Status sealed = AddMissingResults(history, file, record);
    sealProblem = sealed.message();
  }
  if (!record.ok()) {
    score.problem = record.message();
  } else {
    score = ScoreRecord(std::move(record.value()), history, courses);
  }
  score.file = file;
  score.sealProblem = std::move(sealProblem);
  return score;
}

}  // namespace kitebar
