#include "common/ProgramFiles.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "common/FileLimits.h"

namespace kitebar {
namespace {

namespace fs = std::filesystem;

// The names as the layers that write them define them (the history, the
// back-test, the settings, the reports); a test holds the two lists alike.
constexpr std::array kProgramFiles{
    ProgramFile{"kitebarnum.dat", ProgramFileKind::kData, kMaxHistoryFileBytes},
    ProgramFile{"Kitebard.dat", ProgramFileKind::kData, kMaxBackTestFileBytes},
    ProgramFile{"Kitebard_100.dat", ProgramFileKind::kData, kMaxBackTestFileBytes},
    ProgramFile{"tmp.dat", ProgramFileKind::kData, kMaxHistoryFileBytes},
    ProgramFile{"kitebar-record.csv", ProgramFileKind::kData, kMaxPredictionRecordBytes},
    ProgramFile{"base.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"type1.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"type2.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"type3.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"type4.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"type5.ini", ProgramFileKind::kSettings, kMaxSettingsFileBytes},
    ProgramFile{"showyosou.html", ProgramFileKind::kPage, 0},
    ProgramFile{"Kitebar.html", ProgramFileKind::kPage, 0},
    ProgramFile{"Kitebar_100.html", ProgramFileKind::kPage, 0},
    ProgramFile{"Kitebar_kensho.html", ProgramFileKind::kPage, 0},
    ProgramFile{"Kitebar_tuning.html", ProgramFileKind::kPage, 0},
    ProgramFile{"kitebar.lock", ProgramFileKind::kLock, 0},
};

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

}  // namespace

std::span<const ProgramFile> ProgramFiles() {
  return kProgramFiles;
}

const ProgramFile* ProgramFileNamed(const fs::path& file) {
  const fs::path name = file.filename();
  const auto found = std::find_if(kProgramFiles.begin(), kProgramFiles.end(),
                                  [&](const ProgramFile& own) { return name == own.name; });
  return found == kProgramFiles.end() ? nullptr : &*found;
}

fs::path FinalTarget(const fs::path& file) {
  std::error_code error;
  fs::path target = file;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hops) {
    const fs::path next = fs::read_symlink(target, error);
    if (error)
      break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

std::optional<std::string> ProgramFileAt(const fs::path& target, const fs::path& folder) {
  std::error_code error;
  const fs::path created = FinalTarget(fs::absolute(target, error));
  const bool inFolder = SameFile(created.parent_path(), folder);
  for (const ProgramFile& own : kProgramFiles) {
    const fs::path name(own.name);
    if (SameFile(target, folder / name))
      return std::string(own.name);
    if (inFolder && SameNameIgnoringAsciiCase(created.filename(), name))
      return std::string(own.name);
  }
  return std::nullopt;
}

std::optional<std::string> ProgramFileOfAnyFolder(const fs::path& target, const fs::path& folder) {
  if (std::optional<std::string> own = ProgramFileAt(target, folder))
    return own;
  std::error_code error;
  const fs::path name = FinalTarget(fs::absolute(target, error)).filename();
  for (const ProgramFile& own : kProgramFiles) {
    if (SameNameIgnoringAsciiCase(name, fs::path(own.name)))
      return std::string(own.name);
  }
  return std::nullopt;
}

}  // namespace kitebar
