#include "engine/BackTest.h"

#include <algorithm>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/PredictionRun.h"
#include "history/DrawHistory.h"
#include "reports/HitReport.h"

namespace kitebar {
namespace {

constexpr int kRecentDrawCount = 500;

int CodeOf(char c) {
  return static_cast<int>(static_cast<signed char>(c));
}

bool IsBox(const std::array<int, 3>& candidate, const WinningDigits& w) {
  const std::array<std::array<int, 3>, 6> orders{{{w[0], w[1], w[2]},
                                                  {w[0], w[2], w[1]},
                                                  {w[1], w[0], w[2]},
                                                  {w[1], w[2], w[0]},
                                                  {w[2], w[1], w[0]},
                                                  {w[2], w[0], w[1]}}};
  return std::find(orders.begin(), orders.end(), candidate) != orders.end();
}

std::string CannotWriteMessage(const char* file) {
  return std::string("予想成績のファイル「") + file +
         "」に書き込めません。フォルダーの書き込み権限と空き容量を確かめてから、"
         "もう一度やり直してください。";
}

}  // namespace

WinningDigits WinningDigitsOf(std::string_view digits) {
  WinningDigits winning{};
  for (std::size_t i = 0; i < winning.size() && i < digits.size(); ++i) {
    winning[i] = CodeOf(digits[i]);
  }
  return winning;
}

BackTestResult CompareCandidates(const CandidateTable& candidates, const WinningDigits& winning) {
  BackTestResult result;
  bool straight = false;
  bool box = false;
  for (int k = 0; k < kCandidateCount; ++k) {
    const std::array<int, 3> candidate{candidates[kHundreds][k], candidates[kTens][k],
                                       candidates[kUnits][k]};
    if (candidate[0] == winning[0] && candidate[1] == winning[1] && candidate[2] == winning[2]) {
      straight = true;
    }
    if (candidate[1] == winning[1] && candidate[2] == winning[2])
      result.mini = '3';
    if (IsBox(candidate, winning))
      box = true;
  }
  if (straight) {
    result.main = '1';
  } else if (box) {
    result.main = '2';
  }
  return result;
}

std::string BackTestEntry(int drawNumber, BackTestResult result) {
  return FormatInt(drawNumber) + "\r\n" + result.main + result.mini + "\r\n";
}

Result<BackTestResult> BackTestDraw(DrawHistory& history, int drawNumber,
                                    std::string_view winningDigits, bool toLast500File) {
  const Result<Prediction> prediction = PredictionRun(history, drawNumber, false);
  BackTestResult result;
  if (prediction.ok()) {
    result = CompareCandidates(prediction->candidates, WinningDigitsOf(winningDigits));
  }
  const char* file = toLast500File ? kRecentBackTestFile : kBackTestFile;
  if (!AppendToFile(file, BackTestEntry(drawNumber, result)).ok()) {
    return Status::Failure(CannotWriteMessage(file));
  }
  return result;
}

Status RunRecentBackTest(DrawHistory& history) {
  if (!WriteFileAtomically(kRecentBackTestFile, "").ok()) {
    return Status::Failure(CannotWriteMessage(kRecentBackTestFile));
  }
  // Draw 1 has no draw before it to predict from.
  const int first =
      std::max(WindmillSimulator::kFirstRunnableDraw, history.count - (kRecentDrawCount - 1));
  for (int draw = first; draw <= history.count; ++draw) {
    const std::string digits(history.record(draw).digitsText());
    if (Result<BackTestResult> tested = BackTestDraw(history, draw, digits, true); !tested.ok()) {
      return tested.status();
    }
  }
  return Status::Ok();
}

}  // namespace kitebar
