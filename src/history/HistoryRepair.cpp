#include "history/HistoryRepair.h"

#include <map>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/FolderLock.h"
#include "common/TextLines.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// A line is read in pieces of at most this many characters, as the loader does.
constexpr std::size_t kLinePieceLength = 127;
constexpr int kBackupNameAttempts = 100;

struct KeptLine {
  HistoryLine parsed;
  int line = 0;
  std::string text;
};

// The draws of `contents` by number, each once, and the lines left out.
std::map<int, KeptLine> CollectDraws(std::string_view contents,
                                     std::vector<DroppedHistoryLine>& dropped) {
  std::map<int, KeptLine> draws;
  int lineNumber = 1;
  ForEachLinePiece(contents, kLinePieceLength, [&](std::string_view piece) {
    const int line = lineNumber;
    if (piece.ends_with('\n'))
      ++lineNumber;
    const std::optional<HistoryLine> parsed = ParseHistoryLine(piece);
    if (!parsed)
      return;
    KeptLine candidate{*parsed, line, PrintableLine(piece)};
    const bool storable = parsed->draw >= 1 && parsed->draw <= DrawHistory::kMaxDrawNumber;
    auto [kept, inserted] = draws.try_emplace(parsed->draw, candidate);
    // A winning number outweighs a pending line of the same draw.
    const bool replaces = !inserted && kept->second.parsed.pending && !parsed->pending;
    if (storable && (inserted || replaces)) {
      if (replaces) {
        dropped.push_back({kept->second.line, kept->first, kept->second.text});
        kept->second = candidate;
      }
      return;
    }
    if (inserted)
      draws.erase(kept);
    dropped.push_back({line, parsed->draw, candidate.text});
  });
  return draws;
}

// The names beside `file` for its copy, in the order they are tried: an
// earlier copy keeps its name.
std::vector<std::filesystem::path> BackupNames(const std::filesystem::path& file,
                                               std::string_view timestamp) {
  std::vector<std::filesystem::path> names;
  for (int attempt = 1; attempt < kBackupNameAttempts; ++attempt) {
    std::string suffix(".");
    suffix.append(timestamp);
    if (attempt > 1)
      suffix.append("-").append(std::to_string(attempt));
    names.push_back(file);
    names.back() += suffix + ".bak";
  }
  return names;
}

}  // namespace

Result<HistoryRepair> RepairHistory(const std::filesystem::path& file, std::string_view timestamp) {
  Result<FolderLock> lock = FolderLock::AcquireFor(file);
  if (!lock.ok())
    return lock.status();
  const Result<std::string> contents = ReadWholeFile(file, kMaxHistoryFileBytes);
  if (!contents.ok())
    return contents.status();
  DrawHistory probe(file);
  probe.LoadText(*contents);
  HistoryRepair repair;
  repair.count = probe.count;
  if (!probe.damage())
    return repair;
  repair.damaged = true;
  DrawHistory repaired(file);
  int last = 0;
  for (const auto& [draw, kept] : CollectDraws(*contents, repair.dropped)) {
    repaired.record(draw) = kept.parsed.record;
    last = draw;
  }
  repaired.count = last > 0 && repaired.record(last).isPending() ? last - 1 : last;
  repair.count = repaired.count;
  // A history that cannot be saved is refused before any copy is made.
  if (Status replaceable = CheckReplaceable(file); !replaceable.ok())
    return replaceable;
  Result<std::filesystem::path> backup =
      WriteNewFileAtomically(BackupNames(file, timestamp), *contents);
  if (!backup.ok())
    return Status::Failure("控えのファイルを作れないため、修復を中止しました。" + backup.message());
  repair.backup = std::move(backup.value());
  if (Status saved = repaired.Save(); !saved.ok())
    return Status::Failure("修復した当選番号を保存できません。" + saved.message() +
                           "。元のファイルはそのままです。");
  return repair;
}

}  // namespace kitebar
