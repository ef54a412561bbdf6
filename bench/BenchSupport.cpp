#include "BenchSupport.h"

#include <stdlib.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Feedback.h"
#include "common/FileLimits.h"
#include "engine/PositionAnalysis.h"
#include "history/ResultsCsv.h"
#include "settings/PrivateProfile.h"
#include "settings/SettingsFiles.h"
#include "settings/SettingsUpdates.h"

namespace kitebar {
namespace {

using FileContents = std::vector<std::pair<std::string, std::string>>;

std::filesystem::path MakeTemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kitebar-bench-XXXXXX").string();
  return ::mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern)
                                              : std::filesystem::path();
}

// Every set at the dialog's defaults, the core values and the start set saved
// through the program's own update operations in the working directory.
bool SaveDefaultSettings() {
  for (int selection = 0; selection < kSettingsTypeCount; ++selection) {
    WindmillSettings settings = DefaultWindmillSettings();
    if (!UpdateWindmillSettings(selection, settings).ok())
      return false;
  }
  CoreSettings core{1, 40, 30.0f};
  return UpdateCoreSettings(core).ok() &&
         WritePrivateProfileString("StartIndex", "index", "0", kBaseIniFile).ok();
}

std::vector<std::string> SettingsFileNames() {
  std::vector<std::string> names{kBaseIniFile};
  for (int set = 0; set < kSettingsTypeCount; ++set)
    names.push_back(SettingsTypeFile(set));
  return names;
}

// The settings files saved once, in a folder of their own, and kept for
// copying into every scratch folder.
const FileContents& DefaultSettingsFiles() {
  static const FileContents files = [] {
    FileContents saved;
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path folder = MakeTemporaryFolder();
    std::error_code ignored;
    if (folder.empty())
      return saved;
    std::filesystem::current_path(folder);
    if (SaveDefaultSettings()) {
      for (const std::string& name : SettingsFileNames()) {
        const Result<std::string> text = ReadWholeFile(name, kMaxSettingsFileBytes);
        if (text.ok())
          saved.emplace_back(name, *text);
      }
    }
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(folder, ignored);
    return saved;
  }();
  return files;
}

}  // namespace

ScratchFolder::ScratchFolder() : previous_(std::filesystem::current_path()) {
  const FileContents& settings = DefaultSettingsFiles();
  path_ = MakeTemporaryFolder();
  if (path_.empty() || settings.size() != SettingsFileNames().size())
    return;
  std::filesystem::current_path(path_);
  ok_ = true;
  for (const auto& [name, text] : settings)
    ok_ = ok_ && WriteFileAtomically(name, text).ok();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  if (!path_.empty())
    std::filesystem::remove_all(path_, ignored);
}

bool LoadSampleHistory(DrawHistory& history, benchmark::State& state) {
  const Result<std::string> csv = ReadWholeFile(KITEBAR_SAMPLE_CSV, kMaxResultsCsvBytes);
  if (!csv.ok() || !MergeResultsCsv(history, *csv).ok() || !history.Save().ok()) {
    state.SkipWithError("cannot build the history from the sample");
    return false;
  }
  return true;
}

bool LoadLongHistory(DrawHistory& history, benchmark::State& state, bool withPositions) {
  if (!LoadSampleHistory(history, state))
    return false;
  for (int n = kSampleDrawCount + 1; n <= kLongDrawCount; ++n) {
    const std::string digits(history.record(n - kSampleDrawCount).digitsText());
    if (!history.AppendImportedDraw(digits).ok()) {
      state.SkipWithError("cannot extend the sample");
      return false;
    }
  }
  // The analysis reads the history from its file before it estimates.
  SilentFeedback feedback;
  const bool saved =
      history.Save().ok() &&
      (!withPositions ||
       AnalysePositions(history, kLongDrawCount, AnalysisMode::kAutomatic, 0, feedback).ok());
  if (!saved)
    state.SkipWithError("cannot save the long history");
  return saved;
}

bool LoadHistoryOfSize(DrawHistory& history, benchmark::State& state) {
  return state.range(0) == kLongDrawCount ? LoadLongHistory(history, state, true)
                                          : LoadSampleHistory(history, state);
}

}  // namespace kitebar
