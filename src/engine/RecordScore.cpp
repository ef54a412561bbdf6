#include "engine/RecordScore.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "engine/CandidateSets.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

// What the record says of one draw.
struct DrawNotes {
  std::vector<int> candidates;  // of every prediction, in record order
  std::vector<int> results;     // the numbers recorded, in record order
};

// The numbers a draw was held with, in order: those recorded, then the
// history's when it differs from the last of them.
std::vector<int> NumbersSeen(const DrawNotes& notes, std::optional<int> held) {
  std::vector<int> seen = notes.results;
  if (held && (seen.empty() || seen.back() != *held))
    seen.push_back(*held);
  return seen;
}

int ChangesIn(const std::vector<int>& seen) {
  int changes = 0;
  for (std::size_t i = 1; i < seen.size(); ++i)
    changes += seen[i] != seen[i - 1] ? 1 : 0;
  return changes;
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

void Summarize(const std::vector<TestedDraw>& tested, LiveScore& score) {
  std::array<KindTally, kHitKindCount> tallies{};
  for (const TestedDraw& draw : tested)
    Tally(draw, tallies);
  HitDistribution scratch(std::max<int>(1, static_cast<int>(tested.size())));
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const auto k = static_cast<std::size_t>(kind);
    score.kinds[k] = SummarizeKind(tallies[k], scratch);
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

LiveScore ScoreRecord(const ParsedRecord& record, const DrawHistory& history) {
  LiveScore score;
  score.lines = record.lines;
  score.head = record.head;
  score.broken = record.broken;
  std::map<int, DrawNotes> draws;
  std::set<std::pair<int, std::string>> settings;
  for (const RecordEntry& entry : record.entries) {
    DrawNotes& notes = draws[entry.draw];
    if (entry.kind == RecordEntry::Kind::kResult) {
      notes.results.push_back(entry.winning);
      continue;
    }
    notes.candidates.insert(notes.candidates.end(), entry.candidates.begin(),
                            entry.candidates.end());
    settings.emplace(entry.settingsType, entry.digest);
    score.setsUsed[static_cast<std::size_t>(entry.settingsType)] = true;
    score.entries.push_back({entry, std::nullopt, {}});
  }
  score.settingsUsed = static_cast<int>(settings.size());
  std::map<int, int> numberOf;
  std::vector<TestedDraw> tested;
  for (const auto& [draw, notes] : draws) {
    if (notes.candidates.empty())
      continue;
    ++score.draws;
    score.firstDraw = score.firstDraw == 0 ? draw : score.firstDraw;
    score.lastDraw = draw;
    const std::vector<int> seen = NumbersSeen(notes, HeldWinningNumber(history, draw));
    if (seen.empty()) {
      ++score.waitingDraws;
      continue;
    }
    if (const int changes = ChangesIn(seen); changes > 0) {
      score.corrections += changes;
      score.corrected.push_back({draw, seen.front(), seen.back(), changes});
    }
    numberOf[draw] = seen.back();
    tested.push_back(
        {draw, 0, OutcomeOf(notes.candidates, seen.back()), ChanceLevelsOf(notes.candidates)});
  }
  score.scoredDraws = static_cast<int>(tested.size());
  for (LiveEntry& entry : score.entries) {
    const auto number = numberOf.find(entry.prediction.draw);
    if (number == numberOf.end())
      continue;
    entry.winning = number->second;
    entry.outcome = OutcomeOf(
        {entry.prediction.candidates.begin(), entry.prediction.candidates.end()}, number->second);
  }
  Summarize(tested, score);
  return score;
}

LiveScore ScoreLiveRecord(DrawHistory& history) {
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
    score = ScoreRecord(*record, history);
  }
  score.file = file;
  score.sealProblem = std::move(sealProblem);
  return score;
}

}  // namespace kitebar
