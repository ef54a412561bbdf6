#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>

#include "common/NumberText.h"
#include "reports/ShellPageOpener.h"

namespace kitebar {

Status ShellPageOpener::Open(const std::filesystem::path& page) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(page, error);
  const std::wstring target = (error ? page : absolute).wstring();
  // Values above 32 mean success; the shell reports its own errors below.
  const auto result = reinterpret_cast<std::intptr_t>(
      ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    return Status::Failure(
        "ブラウザを起動できません（ShellExecute: " + FormatInt(static_cast<int>(result)) +
        "）。.html ファイルを開くプログラムを設定するか、ページ（" + page.string() +
        "）をブラウザで開いてください。");
  }
  return Status::Ok();
}

}  // namespace kitebar
