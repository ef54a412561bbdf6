#include "history/HistoryRepair.h"

#include <map>
#include <system_error>

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

// A name beside `file` for its copy that no earlier copy has.
std::filesystem::path FreeBackupName(const std::filesystem::path& file,
                                     std::string_view timestamp) {
  const auto named = [&](int attempt) {
    std::string suffix(".");
    suffix.append(timestamp);
    if (attempt > 1)
      suffix.append("-").append(std::to_string(attempt));
    std::filesystem::path name = file;
    name += suffix + ".bak";
    return name;
  };
  std::filesystem::path name = named(1);
  std::error_code error;
  for (int attempt = 2; std::filesystem::exists(name, error) && attempt < kBackupNameAttempts;
       ++attempt) {
    name = named(attempt);
  }
  return name;
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
  repair.backup = FreeBackupName(file, timestamp);
  if (Status copied = WriteFileAtomically(repair.backup, *contents); !copied.ok())
    return Status::Failure("控えのファイルを作れないため、修復を中止しました。" + copied.message());
  if (Status saved = repaired.Save(); !saved.ok())
    return Status::Failure("修復した当選番号を保存できません。" + saved.message() +
                           "。元のファイルはそのままです。");
  return repair;
}

}  // namespace kitebar
