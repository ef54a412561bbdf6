#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// One calendar day after `date` (yyyymmdd): a draw a day keeps the dates
// ascending with the draws.
int NextDay(int date) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int year = date / 10000;
  int month = date / 100 % 100;
  int day = date % 100 + 1;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
    day = 1;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return year * 10000 + month * 100 + day;
}

// The 9,999 draws as results sites export them: a header and a row per
// draw, newest first, in a dozen columns (an index, the draw as "第N回", the
// date in Japanese, the number, then prizes); and the same draws as the
// project's own "draw,NNN" lines.
void WriteResultFiles(const DrawHistory& history) {
  std::vector<std::string> rows;
  int date = 19941007;
  for (int n = 1; n <= history.count; ++n) {
    rows.push_back(",第" + FormatInt(n) + "回," + FormatInt(date / 10000) + "年" +
                   FormatInt(date / 100 % 100) + "月" + FormatInt(date % 100) + "日," +
                   std::string(history.record(n).digitsText()) +
                   ",90000.0,12,15000.0,85,52300.0,3,7500.0,110\n");
    date = NextDay(date);
  }
  std::string wide =
      ",回別,抽せん日,本数字,ストレート,口数,ボックス,口数,セットストレート,口数,セットボックス,"
      "口数\n";
  std::string plain;
  for (int n = history.count; n >= 1; --n)
    wide += FormatInt(history.count - n) + rows[static_cast<std::size_t>(n - 1)];
  for (int n = 1; n <= history.count; ++n)
    plain += FormatInt(n) + "," + std::string(history.record(n).digitsText()) + "\n";
  WriteFileAtomically("wide.csv", wide);
  WriteFileAtomically("plain.csv", plain);
}

// "kitebar-cli load-csv --dry-run" as a whole process: 10,000 rows of a dozen
// columns against the real 7,088 draws, of which it finds all agree and the
// rest new, against the same process reading the plain "draw,NNN" lines.
void BM_CliLoadCsvDryRun(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadLongHistory(history, state, false))
    return;
  WriteResultFiles(history);
  const std::string held = history.SaveText().substr(0, std::size_t{10} * kSampleDrawCount);
  if (!WriteFileAtomically(kHistoryFileName, held).ok()) {
    state.SkipWithError("cannot write the history");
    return;
  }
  TimeAgainstFloor(
      state, NoPreparation,
      [] {
        return plain::RunProcess({KITEBAR_CLI_PATH, "load-csv", "--dry-run", "wide.csv"});
      },
      [] {
        return plain::RunProcess({KITEBAR_CLI_PATH, "load-csv", "--dry-run", "plain.csv"});
      },
      "kitebar-cli load-csv --dry-run failed");
}
BENCHMARK(BM_CliLoadCsvDryRun)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
