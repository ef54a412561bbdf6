#pragma once

#include <filesystem>
#include <string>

#include "common/Status.h"
#include "engine/Tuning.h"

namespace kitebar {

inline constexpr char kTuningPage[] = "Kitebar_tuning.html";

// What became of the best rule: not saved, or saved into a set (0 to 4)
// with some of its values changed.
struct TuningSave {
  int set = -1;  // below 0: not saved
  int changes = 0;
};

// The page of a tuning, in Japanese, UTF-8 and declared so: first the
// adjusted p-value, the hold-out and a verdict that weighs both with the
// hold-out's length (WeighEvidence), then the best rule's setting, its
// results on the training draws and the hold-out beside those of the
// current set, the training score of every rule as an inline SVG drawing,
// and how to read it all. No script and nothing to download; it reads at
// desktop and at phone width.
std::string BuildTuningPage(const Tuning& tuning, TuningSave save);

// Writes the page to `file`, replacing it atomically.
Status WriteTuningPage(const std::filesystem::path& file, const Tuning& tuning, TuningSave save);

}  // namespace kitebar
