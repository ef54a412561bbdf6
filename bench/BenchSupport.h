#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>

#include "history/DrawHistory.h"

namespace kitebar {

inline constexpr int kSampleDrawCount = 7088;
inline constexpr int kLongDrawCount = DrawHistory::kMaxDrawNumber;

// The runs read the settings files and write "kitebarnum.dat" in the working
// directory: a fresh folder for the benchmark, holding the six settings files
// as the settings dialog saves them, removed at its end.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  bool ok() const { return ok_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
  bool ok_ = false;
};

// The 7,088 real draws of the sample, saved as the history file.
bool LoadSampleHistory(DrawHistory& history, benchmark::State& state);

// The sample continued up to draw 9,999 with its own winning numbers from
// draw 1 on, saved as the history file. With positions (every draw from 2 on
// estimated by the analysis) it is the largest file the format holds.
bool LoadLongHistory(DrawHistory& history, benchmark::State& state, bool withPositions);

// The history file of the benchmarks taking the draw count as their
// argument: the real 7,088 draws as they come (no positions), or the 9,999
// draws with positions.
bool LoadHistoryOfSize(DrawHistory& history, benchmark::State& state);

}  // namespace kitebar
