#include "cli/RepairCommand.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/Output.h"
#include "common/LocalTime.h"
#include "common/NumberText.h"
#include "common/Utf8Path.h"
#include "history/DrawHistory.h"
#include "history/HistoryRepair.h"

namespace kitebar::cli {
namespace {

std::string LocalTimestamp() {
  const std::tm local = LocalTimeOf(std::time(nullptr));
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

std::string LineList(const std::vector<DroppedHistoryLine>& lines) {
  std::string list;
  for (const DroppedHistoryLine& line : lines)
    list += (list.empty() ? "" : "と ") + FormatInt(line.line) + " 行目";
  return list;
}

int ReportChoices(const HistoryRepair& repair) {
  std::string places;
  for (const std::vector<DroppedHistoryLine>& choice : repair.choices) {
    for (const DroppedHistoryLine& line : choice) {
      PrintLine("candidate line " + FormatInt(line.line) + " draw " + FormatInt(line.draw) + ": " +
                line.text);
    }
    places += (places.empty() ? "" : "、") + LineList(choice);
  }
  const int example = repair.choices.front().front().line;
  PrintError("当選番号ファイル kitebarnum.dat の " + places +
             "は同じ位置に入る別々の行で、どれが正しいかファイルからは決められないため、修復"
             "しませんでした（ファイルはそのままです）。残す行を「kitebar-cli repair --keep-line " +
             FormatInt(example) +
             "」のように行番号で選んでください（選ぶ所が複数あるときは --keep-line を所ごとに"
             "付けます）。");
  return kExitFailure;
}

void ReportMissing(const std::vector<std::pair<int, int>>& missing) {
  for (const auto& [first, last] : missing) {
    if (first == last) {
      PrintLine("missing draw " + FormatInt(first) + ": kitebar-cli register --draw " +
                FormatInt(first) + " NNN");
    } else {
      PrintLine("missing draws " + FormatInt(first) + "-" + FormatInt(last) +
                ": kitebar-cli register --draw N NNN");
    }
  }
  if (!missing.empty()) {
    const auto [first, last] = missing.front();
    PrintError("注意: 修復した当選番号ファイルには、当選番号のない回があります（" +
               (first == last ? "第 " + FormatInt(first) + " 回"
                              : "第 " + FormatInt(first) + " 回から第 " + FormatInt(last) + " 回") +
               (missing.size() > 1 ? " ほか" : "") + "）。kitebar-cli register --draw " +
               FormatInt(first) + " NNN のように回を指定して入力してください。");
  }
}

// Without a history there is nothing to mend: the folder is the wrong one, or
// the history is still to be made.
bool HistoryFileIsHere() {
  std::error_code error;
  // Any other trouble with the file is the repair's to report.
  if (std::filesystem::symlink_status(kHistoryFileName, error).type() !=
      std::filesystem::file_type::not_found)
    return true;
  PrintError("このフォルダー（" + Utf8FromPath(std::filesystem::current_path(error)) +
             "）には当選番号ファイル kitebarnum.dat がないため、修復するものがありません。"
             "kitebarnum.dat のあるフォルダーに移ってから実行してください（新しく作るときは "
             "load-csv か import を使います）。");
  return false;
}

}  // namespace

CLI::App* RepairCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "repair",
      "Mend a damaged kitebarnum.dat (a draw repeated, out of order or unreadable): the longest "
      "run of ascending draws, each once; the file as it was is kept as "
      "kitebarnum.dat.<date-time>.bak");
  command->add_option("--keep-line", keepLines_,
                      "Keep line N where the file cannot tell which of two lines is right");
  return command;
}

int RepairCommand::Run() {
  if (!HistoryFileIsHere())
    return kExitFailure;
  const Result<HistoryRepair> repair =
      RepairHistory(kHistoryFileName, LocalTimestamp(), keepLines_);
  if (!repair.ok()) {
    PrintError(repair.message());
    return kExitFailure;
  }
  if (!repair->damaged) {
    PrintLine("history whole count " + FormatInt(repair->count));
    return kExitOk;
  }
  if (!repair->refusedChoice.empty()) {
    PrintError(repair->refusedChoice + "ファイルはそのままです。");
    return kExitUsage;
  }
  if (!repair->choices.empty())
    return ReportChoices(*repair);
  PrintLine("repaired count " + FormatInt(repair->count) + " backup " + repair->backup.string());
  for (const DroppedHistoryLine& dropped : repair->dropped) {
    PrintLine("dropped line " + FormatInt(dropped.line) + " draw " + FormatInt(dropped.draw) +
              ": " + dropped.text);
  }
  ReportMissing(repair->missing);
  return kExitOk;
}

}  // namespace kitebar::cli
