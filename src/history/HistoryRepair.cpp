#include "history/HistoryRepair.h"

#include <vector>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/FolderLock.h"
#include "history/DrawHistory.h"
#include "history/HistoryRun.h"

namespace kitebar {
namespace {

constexpr int kBackupNameAttempts = 100;

DroppedHistoryLine Listed(const HistoryFileLine& line) {
  return {line.line, line.draw, PrintableLine(line.bytes)};
}

// The draws 1 to count of `history` without a winning number, as ranges.
std::vector<std::pair<int, int>> MissingDraws(const DrawHistory& history) {
  std::vector<std::pair<int, int>> missing;
  for (int n = 1; n <= history.count; ++n) {
    const DrawRecord& record = history.record(n);
    if (record.exists() && !record.isPending())
      continue;
    if (!missing.empty() && missing.back().second == n - 1)
      missing.back().second = n;
    else
      missing.emplace_back(n, n);
  }
  return missing;
}

// Fills `repaired` with the history that the run of `contents` gives, and
// `repair` with what was left out; or only the choices, when the file
// cannot decide, or why the lines to keep cannot be kept.
Status MendHistory(std::string_view contents, std::span<const int> keepLines, DrawHistory& repaired,
                   HistoryRepair& repair) {
  std::vector<PassedOverLine> passedOver;
  const std::vector<HistoryFileLine> lines = ReadHistoryFileLines(contents, &passedOver);
  const Result<HistoryRun> run = FindHistoryRun(lines, keepLines);
  if (!run.ok()) {
    repair.refusedChoice = run.message();
    return Status::Ok();
  }
  for (const std::vector<std::size_t>& choice : run->choices) {
    std::vector<DroppedHistoryLine>& listed = repair.choices.emplace_back();
    for (std::size_t i : choice)
      listed.push_back(Listed(lines[i]));
  }
  if (!repair.choices.empty())
    return Status::Ok();
  for (const HistoryRun::Left& left : run->left)
    repair.dropped.push_back(Listed(lines[left.index]));
  bool lastPending = false;
  for (std::size_t i : run->kept) {
    const HistoryLine& line = lines[i].parsed;
    repaired.record(line.draw) = line.record;
    repaired.count = line.draw;
    lastPending = line.pending;
  }
  if (lastPending)
    --repaired.count;
  repaired.KeepPassedOverLines(lines, run->kept, passedOver);
  repair.missing = MissingDraws(repaired);
  return Status::Ok();
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

Result<HistoryRepair> RepairHistory(const std::filesystem::path& file, std::string_view timestamp,
                                    std::span<const int> keepLines) {
  Result<FolderLock> lock = FolderLock::Acquire(file.parent_path());
  if (!lock.ok())
    return lock.status();
  const Result<std::string> contents = ReadWholeFile(file, kMaxHistoryFileBytes);
  if (!contents.ok())
    return contents.status();
  // A history that an editor saved as UTF-16 is mended from its text, every
  // line kept; the copy keeps the file's own bytes.
  const std::optional<std::string> fromUtf16 = HistoryTextFromUtf16(*contents);
  const std::string_view text = fromUtf16 ? std::string_view(*fromUtf16) : *contents;
  DrawHistory probe(file);
  probe.LoadText(*contents);
  HistoryRepair repair;
  repair.count = probe.count;
  if (!probe.damage())
    return repair;
  repair.damaged = true;
  DrawHistory repaired(file);
  if (Status mended = MendHistory(text, keepLines, repaired, repair); !mended.ok())
    return mended;
  if (!repair.choices.empty() || !repair.refusedChoice.empty())
    return repair;
  repair.count = repaired.count;
  // A history that cannot be saved is refused before any copy is made.
  if (Status replaceable = CheckReplaceable(file); !replaceable.ok())
    return replaceable;
  Result<std::filesystem::path> backup =
      WriteNewFileAtomically(BackupNames(file, timestamp), *contents);
  if (!backup.ok())
    return backup.status().Wrapped("控えのファイルを作れないため、修復を中止しました。",
                                   "当選番号ファイルはそのままです。");
  repair.backup = std::move(backup.value());
  if (Status saved = repaired.Save(); !saved.ok())
    return saved.Wrapped("修復した当選番号を保存できません。", "元のファイルはそのままです。");
  return repair;
}

}  // namespace kitebar
