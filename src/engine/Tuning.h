#pragma once

#include "common/Status.h"
#include "engine/Evaluation.h"
#include "engine/SettingsSearch.h"

namespace kitebar {

class DrawHistory;

// The draws after the training draws that a tuning keeps back to test its
// best setting on: at least this many.
inline constexpr int kMinimumHoldOutDraws = 100;

// Refuses, with a message for the user, a training end outside 2 to
// count - kMinimumHoldOutDraws.
Status CheckTrainingEnd(int count, int trainTo);

struct TuningRequest {
  int trainTo = 0;  // the last training draw
  HitKind kind = HitKind::kBox;
  SearchOptions search;
};

// One setting's result for the tuned kind over a range of draws, summed up
// as the evaluation does.
struct RangeResult {
  DrawRange range;
  int draws = 0;  // tested
  KindSummary summary;
};

struct Tuning {
  TuningRequest request;
  int count = 0;       // the last draw of the hold-out
  int currentSet = 0;  // the set of the prediction run, 0 to 4
  // From "./base.ini", shared by every setting tried.
  int stepNum = 0;
  float diameter = 0;
  SearchResult search;
  RangeResult trainBest;
  RangeResult trainCurrent;
  RangeResult holdoutBest;
  RangeResult holdoutCurrent;
};

// Searches the settings on draws 2 to `trainTo` (the search is given those
// draws alone), then tests the best one and the set of the prediction run
// on the draws after them, the hold-out. Reads the settings files, writes
// nothing. Fails only on a refused training end.
Result<Tuning> TuneSettings(const DrawHistory& history, const TuningRequest& request,
                            const SearchMonitor& monitor = {});

// Saves `best` into set `set` (0 to 4) through the settings dialog's writer,
// in one replacement: the set's thousands values stay as the dialog reads
// them.
Status SaveTunedSetting(int set, const SearchedSetting& best);

}  // namespace kitebar
