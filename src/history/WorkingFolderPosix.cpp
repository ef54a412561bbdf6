#include <cstdlib>
#include <string_view>

#include "history/WorkingFolder.h"

namespace kitebar {

Result<std::filesystem::path> DefaultWorkingFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // A relative XDG_DATA_HOME is invalid and ignored.
  if (dataHome != nullptr && std::string_view(dataHome).starts_with('/'))
    return std::filesystem::path(dataHome) / "kitebar";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    return Status::Failure(
        "作業フォルダーを決められません（HOME も XDG_DATA_HOME も設定されていません）。");
  }
  return std::filesystem::path(home) / ".local" / "share" / "kitebar";
}

}  // namespace kitebar
