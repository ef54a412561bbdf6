#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "common/AtomicFile.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace kitebar {

// The runs write "kitebarnum.dat" into the working directory: a fresh folder
// for the benchmark, removed at its end.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kitebar-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
      std::filesystem::current_path(path_);
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (!path_.empty())
      std::filesystem::remove_all(path_, ignored);
  }
  bool ok() const { return !path_.empty(); }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// The 7,088 real draws of the sample, saved as the history file.
inline bool LoadSampleHistory(DrawHistory& history, benchmark::State& state) {
  const Result<std::string> csv = ReadWholeFile(KITEBAR_SAMPLE_CSV);
  if (!csv.ok() || !MergeResultsCsv(history, *csv).ok() || !history.Save().ok()) {
    state.SkipWithError("cannot build the history from the sample");
    return false;
  }
  return true;
}

}  // namespace kitebar
