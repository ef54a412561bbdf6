#include "cli/LoadCsvCommand.h"

#include <cstdio>

#include "cli/Output.h"
#include "cli/StandardInput.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "common/Utf8Path.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace kitebar::cli {
namespace {

constexpr char kStandardInput[] = "-";

// " FIRST-LAST", or " FIRST" for one draw.
std::string DrawRange(int first, int last) {
  return " " + FormatInt(first) + (first == last ? "" : "-" + FormatInt(last));
}

// The summary is the output of a dry run; a run that stores keeps its one
// line "added N" on standard output for the scripts that read it, and shows
// the summary on standard error.
void PrintSummary(const CsvImportSummary& summary, bool toOutput) {
  const auto print = [toOutput](const std::string& line) {
    if (toOutput) {
      PrintLine(line);
    } else {
      WriteText(stderr, line);
      std::fputc('\n', stderr);
    }
  };
  print("read " + FormatInt(summary.draws) + " draws" +
        (summary.draws > 0 ? DrawRange(summary.firstDraw, summary.lastDraw) : ""));
  print("held " + FormatInt(summary.held) + " all agree");
  print("new " + FormatInt(summary.added) + " draws" +
        (summary.added > 0 ? DrawRange(summary.firstNew, summary.lastNew) : ""));
  print("padded " + FormatInt(summary.padded));
}

Result<std::string> ReadResults(const std::string& file) {
  if (file == kStandardInput)
    return ReadStandardInput(kMaxResultsCsvBytes);
  return ReadWholeFile(PathFromUtf8(file), kMaxResultsCsvBytes);
}

}  // namespace

CLI::App* LoadCsvCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "load-csv", "Add the draws of a results file (CSV or a copied table) to the draw history");
  command
      ->add_option("FILE", csvFile_,
                   "the results: columns draw, date (optional) and winning number, named by a "
                   "header or told by their values, other columns ignored; - reads standard input")
      ->required();
  command->add_flag("--dry-run", dryRun_, "Print what the file holds and store nothing");
  return command;
}

int LoadCsvCommand::Run() {
  const Result<std::string> csv = ReadResults(csvFile_);
  if (!csv.ok()) {
    // A reason that ends a sentence brings its own advice.
    PrintError(csv.status().Wrapped("CSV ファイルを読めません: ").message());
    return kExitFailure;
  }
  // A history that does not exist yet starts empty and is created by the save.
  DrawHistory history;
  const Result<CsvImportSummary> summary =
      dryRun_ ? PreviewResultsCsv(history, *csv) : ImportResultsCsv(history, *csv);
  if (!summary.ok()) {
    PrintError(summary.message());
    return kExitFailure;
  }
  PrintSummary(*summary, dryRun_);
  PrintLine((dryRun_ ? "dry run, would add " : "added ") + FormatInt(summary->added));
  return kExitOk;
}

}  // namespace kitebar::cli
