#include "cli/LoadCsvCommand.h"

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "common/Utf8Path.h"
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
  const Result<std::string> csv = ReadWholeFile(PathFromUtf8(csvFile_), kMaxResultsCsvBytes);
  if (!csv.ok()) {
    // A reason that ends a sentence brings its own advice.
    PrintError("CSV ファイルを読めません: " + csv.message() +
               (csv.message().ends_with("。")
                    ? ""
                    : "。ファイル名とその読み取り権限を確かめてください。"));
    return kExitFailure;
  }
  // A history that does not exist yet starts empty and is created by the save.
  DrawHistory history;
  const Result<int> added = AddResultsCsv(history, *csv);
  if (!added.ok()) {
    PrintError(added.message());
    return kExitFailure;
  }
  PrintLine("added " + FormatInt(*added));
  return kExitOk;
}

}  // namespace kitebar::cli
