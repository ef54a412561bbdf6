#include "FloorTable.h"

#include <cstdio>

#include "AgainstFloor.h"

namespace kitebar {
namespace {

enum class TargetKind { kNone, kUnderSeconds, kWithinFloorRatio };

struct Target {
  TargetKind kind = TargetKind::kNone;
  double value = 0;
};

struct Row {
  const char* operation;
  const char* benchmark;
  Target target;
  // A child process's work does not show in the benchmark's CPU time.
  bool cpuCounts = true;
};

const Row kRows[] = {
    {"Load, 7,088 draws", "BM_LoadHistory/7088", {TargetKind::kUnderSeconds, 1e-3}},
    {"Load, 9,999 draws", "BM_LoadHistory/9999", {}},
    {"Save, 7,088 draws", "BM_SaveHistory/7088", {}},
    {"Save, 9,999 draws", "BM_SaveHistory/9999", {}},
    {"Prediction run (estimate, save)", "BM_PredictionRunEstimatingNextDraw", {}},
    {"Analysis, automatic, 7,088 draws", "BM_AnalysePositionsAutomatic/7088", {}},
    {"Analysis, automatic, 9,999 draws",
     "BM_AnalysePositionsAutomatic/9999",
     {TargetKind::kUnderSeconds, 5e-3}},
    {"Recent-draws run, 500 draws",
     "BM_RecentBackTestPositionFree",
     {TargetKind::kWithinFloorRatio, 2}},
    {"WriteHitReport, 10,000 records", "BM_WriteHitReport", {}},
    {"ReadResultPage, 64 KB page", "BM_ReadResultPage", {}},
    {"kitebar-cli predict vs idle process",
     "BM_CliPredictProcess",
     {TargetKind::kWithinFloorRatio, 3},
     false},
    {"kitebar-cli predict vs idle + 2 writes + 1 append",
     "BM_CliPredictProcessWithWrites",
     {},
     false},
    {"Evaluation, one set, 7,087 draws", "BM_EvaluateOneSet", {TargetKind::kWithinFloorRatio, 1.5}},
    {"Evaluation, five sets", "BM_EvaluateFiveSets", {TargetKind::kWithinFloorRatio, 1.5}},
    {"Score for a search, one set", "BM_ScoreOneSet", {}},
    {"Candidates by the simulator, one set", "BM_CandidatesBySimulator", {}},
    {"Evaluation for the page", "BM_EvaluateHistory", {}},
    {"kitebar-cli evaluate (with both bands) vs idle process",
     "BM_CliEvaluateProcess",
     {TargetKind::kUnderSeconds, 100e-3},
     false},
    {"Every rule scored, box, 7,087 draws", "BM_ScoreEveryRule", {}},
    {"Adjusted p, box, 10,000 x 6,500 draws, 2 threads",
     "BM_AdjustedPValueBox",
     {TargetKind::kUnderSeconds, 1}},
    // What the machine gives two threads at the same time, for comparison.
    {"Plain arithmetic, 2 threads vs 1 thread", "BM_TwoThreadsOfPlainArithmetic", {}},
    {"Prediction recorded, 1,000 entries vs one flushed append", "BM_RecordShownPrediction", {}},
    {"Record line appended vs one flushed append",
     "BM_AppendRecordLine",
     {TargetKind::kWithinFloorRatio, 1.5}},
    {"kitebar-cli record, 10,000 entries vs idle process",
     "BM_CliRecordProcess",
     {TargetKind::kUnderSeconds, 20e-3},
     false},
    {"kitebar-cli load-csv --dry-run, 10,000 x 12 vs draw,NNN",
     "BM_CliLoadCsvDryRun",
     {TargetKind::kUnderSeconds, 20e-3},
     false},
    {"kitebar-cli tune, every rule + adjusted p",
     "BM_CliTuneProcess",
     {TargetKind::kUnderSeconds, 1},
     false},
};

// The name of a run without the suffixes that options add ("/manual_time").
std::string BaseName(const benchmark::BenchmarkReporter::Run& run) {
  return run.run_name.args.empty() ? run.run_name.function_name
                                   : run.run_name.function_name + "/" + run.run_name.args;
}

std::string FormatDuration(double seconds) {
  struct Unit {
    double scale;
    const char* name;
  };
  static constexpr Unit kUnits[] = {{1, "s"}, {1e-3, "ms"}, {1e-6, "us"}, {1e-9, "ns"}};
  for (const Unit& unit : kUnits) {
    if (seconds >= unit.scale || unit.scale == 1e-9) {
      char text[32];
      std::snprintf(text, sizeof text, "%.3g %s", seconds / unit.scale, unit.name);
      return text;
    }
  }
  return "-";
}

std::string FormatTarget(const Target& target) {
  char text[48];
  switch (target.kind) {
    case TargetKind::kUnderSeconds:
      std::snprintf(text, sizeof text, "< %s", FormatDuration(target.value).c_str());
      return text;
    case TargetKind::kWithinFloorRatio:
      std::snprintf(text, sizeof text, "<= %gx floor", target.value);
      return text;
    case TargetKind::kNone:
      break;
  }
  return "";
}

bool Meets(const Target& target, double seconds, double ratio) {
  return target.kind == TargetKind::kUnderSeconds ? seconds < target.value : ratio <= target.value;
}

}  // namespace

void FloorTableReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred)
      continue;
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if (!median && !single)
      continue;
    const auto floor = run.counters.find(kFloorCounter);
    const auto cpu = run.counters.find(kCpuCounter);
    const auto ratio = run.counters.find(kRatioCounter);
    if (floor == run.counters.end() || cpu == run.counters.end() || ratio == run.counters.end())
      continue;
    const double multiplier = benchmark::GetTimeUnitMultiplier(run.time_unit);
    timings_[BaseName(run)] = {run.GetAdjustedRealTime() / multiplier, cpu->second.value,
                               floor->second.value, ratio->second.value};
  }
}

void FloorTableReporter::Finalize() {
  ConsoleReporter::Finalize();
  PrintTable();
}

const FloorTableReporter::Timing* FloorTableReporter::Find(const std::string& name) const {
  const auto found = timings_.find(name);
  return found == timings_.end() ? nullptr : &found->second;
}

void FloorTableReporter::PrintTable() const {
  std::FILE* out = stdout;
  std::fprintf(out, "\n%-38s %10s %10s %10s %8s  %s\n", "Operation", "Time", "CPU", "Floor",
               "Ratio", "Target");
  for (const Row& row : kRows) {
    const Timing* operation = Find(row.benchmark);
    if (operation == nullptr)
      continue;
    const double ratio = operation->ratio;
    std::string target = FormatTarget(row.target);
    if (!target.empty()) {
      target += Meets(row.target, operation->realSeconds, ratio) ? ": met" : ": NOT met";
    }
    std::fprintf(out, "%-38s %10s %10s %10s %7.2fx  %s\n", row.operation,
                 FormatDuration(operation->realSeconds).c_str(),
                 row.cpuCounts ? FormatDuration(operation->cpuSeconds).c_str() : "-",
                 FormatDuration(operation->floorSeconds).c_str(), ratio, target.c_str());
  }
  std::fprintf(out,
               "Time: the operation's wall time; CPU: its CPU time; Floor: the least the machine\n"
               "must do for it (plain reads, durable writes, an idle process), measured\n"
               "alternately with it; Ratio: Time / Floor. Medians of the repetitions.\n");
  std::fflush(out);
}

}  // namespace kitebar
