#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>

#include "history/WorkingFolder.h"

namespace kitebar {

Result<std::filesystem::path> DefaultWorkingFolder() {
  PWSTR localAppData = nullptr;
  const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData);
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owner(localAppData, &::CoTaskMemFree);
  if (SUCCEEDED(found) && localAppData != nullptr)
    return std::filesystem::path(localAppData) / L"Kitebar";
  // The shell may be unavailable (a service account): the variable is the
  // same folder.
  const wchar_t* variable = ::_wgetenv(L"LOCALAPPDATA");
  if (variable != nullptr && *variable != L'\0')
    return std::filesystem::path(variable) / L"Kitebar";
  return Status::Failure("作業フォルダーを決められません（LOCALAPPDATA が設定されていません）。");
}

}  // namespace kitebar
