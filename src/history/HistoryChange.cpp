#include "history/HistoryChange.h"

#include <string>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "settings/SettingsFiles.h"

namespace kitebar {
namespace {

Status Reload(DrawHistory& history) {
  std::error_code error;
  if (!std::filesystem::exists(history.file(), error) && !error) {
    history.Clear();
    return Status::Ok();
  }
  // A file that cannot be read leaves the history as the caller showed it.
  const int shownCount = history.count;
  if (Status loaded = history.Load(); !loaded.ok()) {
    history.count = shownCount;
    return loaded.Wrapped("当選番号ファイルを読めないため、書き込みを中止しました。");
  }
  return history.CheckWhole();
}

}  // namespace

Status CheckSettingsFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files{std::filesystem::path(kBaseIniFile).filename()};
  for (int set = 0; set < kSettingsTypeCount; ++set)
    files.push_back(std::filesystem::path(SettingsTypeFile(set)).filename());
  for (const std::filesystem::path& name : files) {
    if (Status readable = CheckReadable(folder / name, kMaxSettingsFileBytes); !readable.ok())
      return readable;
  }
  return CheckSettingsEncodings(folder);
}

Result<FolderLock> BeginHistoryChange(DrawHistory& history) {
  Result<FolderLock> lock = FolderLock::Acquire(history.file().parent_path());
  if (!lock.ok() || lock->nested())
    return lock;
  if (Status files = CheckSettingsFiles(history.file().parent_path()); !files.ok())
    return files.Wrapped(kUnreadableSettingsRefusal);
  if (Status reloaded = Reload(history); !reloaded.ok())
    return reloaded;
  return lock;
}

}  // namespace kitebar
