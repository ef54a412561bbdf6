#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/Evaluation.h"
#include "engine/PredictionRecord.h"

namespace kitebar {

class DrawHistory;

// One recorded prediction and what became of it.
struct LiveEntry {
  std::size_t entry = 0;       // in LiveScore::record.entries
  std::optional<int> winning;  // what it is scored against; none while its draw is to come
  DrawOutcome outcome;
};

// A draw whose winning number changed after the record first took it.
struct CorrectedDraw {
  int draw = 0;
  int first = 0;        // the number first recorded
  int now = 0;          // the number scored against
  int corrections = 0;  // the changes, each counted
};

// The live score: the predictions as they were recorded before their draws,
// against the winning numbers. A draw counts once, with every candidate
// recorded for it (the predictions of several settings together), so that
// predicting one draw many times gains nothing against chance and the exact
// distribution of the hits holds.
struct LiveScore {
  std::filesystem::path file;
  // The record could not be read (not a regular file, too large): why.
  // Nothing else is then set.
  std::string problem;
  // As read: its entries, lines, chain value and where it broke.
  ParsedRecord record;
  // The winning numbers could not be added to the record: why.
  std::string sealProblem;

  std::vector<LiveEntry> entries;  // every recorded prediction, in record order
  int draws = 0;                   // with a recorded prediction
  int firstDraw = 0;
  int lastDraw = 0;
  int scoredDraws = 0;
  int waitingDraws = 0;  // whose result is not in yet
  int settingsUsed = 0;  // the different sets and digests
  std::array<bool, kSettingsTypeCount> setsUsed{};
  int corrections = 0;
  std::vector<CorrectedDraw> corrected;
  KindSummaries kinds{};
  std::array<std::vector<CoursePoint>, kHitKindCount> courses;  // with LiveCourses::kWith
};

// Whether a score carries the course of each kind (for the page; its bands
// cost far more than the score itself).
enum class LiveCourses { kWithout, kWith };

// The candidates against a winning number, as the back-test compares them: a
// straight when it is one of them, a mini when its tens and units are those
// of one, a box when it is no candidate but a reordering of one.
DrawOutcome OutcomeOf(const std::vector<int>& candidates, int winning);

// Scores `record` against `history`: a draw's number is the history's, or
// when the history lacks it the last one the record took.
LiveScore ScoreRecord(ParsedRecord record, const DrawHistory& history,
                      LiveCourses courses = LiveCourses::kWithout);

// Reads the record of `history`'s folder, adds the winning numbers it lacks
// (when there are any, as one change of the folder: a reader otherwise takes
// no lock) and scores it. A record that cannot be read sets `problem` only.
LiveScore ScoreLiveRecord(DrawHistory& history, LiveCourses courses = LiveCourses::kWithout);

}  // namespace kitebar
