#include "engine/ProgramFiles.h"

#include <algorithm>
#include <system_error>

#include "engine/BackTest.h"
#include "engine/PredictionRecord.h"
#include "history/DrawHistory.h"
#include "settings/SettingsFiles.h"

namespace kitebar {
namespace {

namespace fs = std::filesystem;

// Compared in the path's own characters, so that no name needs converting.
bool SameNameIgnoringAsciiCase(const fs::path& a, const fs::path& b) {
  using Char = fs::path::value_type;
  const auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c + 32) : c; };
  const fs::path::string_type& x = a.native();
  const fs::path::string_type& y = b.native();
  return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                    [&](Char p, Char q) { return lower(p) == lower(q); });
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

// The folder in which `target` would be created, with its links resolved; a
// dangling link counts as the file it names.
fs::path CreatedIn(const fs::path& target) {
  std::error_code error;
  fs::path file = fs::absolute(target, error);
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(file, error)); ++hops) {
    const fs::path next = fs::read_symlink(file, error);
    if (error)
      break;
    file = next.is_absolute() ? next : file.parent_path() / next;
  }
  return file;
}

}  // namespace

std::vector<std::string> ProgramFileNames() {
  std::vector<std::string> names{kHistoryFileName, kBackTestFile, kRecentBackTestFile,
                                 kPredictionRecordFile, fs::path(kBaseIniFile).filename().string()};
  for (int set = 0; set < kSettingsTypeCount; ++set)
    names.push_back(fs::path(SettingsTypeFile(set)).filename().string());
  return names;
}

std::optional<std::string> ProgramFileAt(const fs::path& target, const fs::path& folder) {
  const fs::path created = CreatedIn(target);
  const bool inFolder = SameFile(created.parent_path(), folder);
  for (const std::string& name : ProgramFileNames()) {
    if (SameFile(target, folder / name))
      return name;
    if (inFolder && SameNameIgnoringAsciiCase(created.filename(), fs::path(name)))
      return name;
  }
  return std::nullopt;
}

}  // namespace kitebar
