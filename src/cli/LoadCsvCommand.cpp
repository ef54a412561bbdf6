#include "cli/LoadCsvCommand.h"

#include <filesystem>

#include "cli/Output.h"
#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace kitebar::cli {

CLI::App* LoadCsvCommand::Register(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("load-csv", "Add the results of a CSV file to the draw history");
  command->add_option("FILE", csvFile_, "lines draw,yyyy-mm-dd,NNN or draw,NNN")->required();
  return command;
}

int LoadCsvCommand::Run() {
  const Result<std::string> csv = ReadWholeFile(csvFile_);
  if (!csv.ok()) {
    PrintError("CSV ファイルを読めません: " + csv.message());
    return kExitFailure;
  }
  DrawHistory history;
  // A history that does not exist yet starts empty and is created by the save.
  if (std::filesystem::exists(history.file())) {
    if (const Status loaded = history.Load(); !loaded.ok()) {
      PrintError("当選番号の取得に失敗しました。" + loaded.message());
      return kExitFailure;
    }
  }
  const Result<int> added = MergeResultsCsv(history, *csv);
  if (!added.ok()) {
    PrintError(added.message());
    return kExitFailure;
  }
  if (const Status saved = history.Save(); !saved.ok()) {
    PrintError("当選番号を保存できません: " + saved.message());
    return kExitFailure;
  }
  PrintLine("added " + FormatInt(*added));
  return kExitOk;
}

}  // namespace kitebar::cli
