#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AtomicFile.h"
#include "engine/BackTest.h"
#include "reports/HitReport.h"

namespace kitebar {
namespace {

constexpr int kRecordCount = 10000;

// Back-test records with a few straight, box and mini hits among the misses.
std::string BackTestRecords() {
  std::string records;
  for (int draw = 1; draw <= kRecordCount; ++draw) {
    BackTestResult result;
    if (draw % 97 == 0) {
      result.main = '1';
    } else if (draw % 13 == 0) {
      result.main = '2';
    }
    if (draw % 7 == 0)
      result.mini = '3';
    records += BackTestEntry(draw, result);
  }
  return records;
}

bool WriteRecords(benchmark::State& state) {
  if (!WriteFileAtomically(kBackTestFile, BackTestRecords()).ok()) {
    state.SkipWithError("cannot write the back-test records");
    return false;
  }
  return true;
}

// The hit-statistics page of 10,000 back-tested draws, every draw listed.
// Its floor: the records' bytes read, and a file of the page's size written
// durably in place of an old one.
void BM_WriteHitReport(benchmark::State& state) {
  const ScratchFolder folder;
  if (!folder.ok() || !WriteRecords(state))
    return;
  if (!WriteHitReport(HitReportVariant::kRunning, false, nullptr).ok()) {
    state.SkipWithError("cannot write the page");
    return;
  }
  const std::string page(std::filesystem::file_size(kHitReportPage), 'x');
  std::vector<char> buffer(std::filesystem::file_size(kBackTestFile) + 1);
  TimeAgainstFloor(
      state, NoPreparation,
      [] { return WriteHitReport(HitReportVariant::kRunning, false, nullptr).ok(); },
      [&] {
        return plain::ReadFile(kBackTestFile, buffer) >= 0 &&
               plain::RewriteDurably(kFloorFile, page);
      },
      "cannot write the page");
}
BENCHMARK(BM_WriteHitReport)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kitebar
