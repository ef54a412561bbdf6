#include "engine/BackTest.h"

#include <algorithm>
#include <string>

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

bool IsDigitCharacter(char c) {
  return c >= '0' && c <= '9';
}

// Where an entry for `drawNumber` starts when it is the last one of the file
// (as an interrupted registration leaves it: back-tested, but not saved into
// the history), or npos.
std::size_t TrailingEntryOf(std::string_view contents, int drawNumber) {
  const std::string numberLine = FormatInt(drawNumber) + "\r\n";
  const std::size_t entryLength = numberLine.size() + 4;
  if (contents.size() < entryLength)
    return std::string_view::npos;
  const std::size_t start = contents.size() - entryLength;
  const std::string_view entry = contents.substr(start);
  const bool isEntry = entry.starts_with(numberLine) && entry.ends_with("\r\n") &&
                       IsDigitCharacter(entry[numberLine.size()]) &&
                       IsDigitCharacter(entry[numberLine.size() + 1]);
  const bool startsLine = start == 0 || contents[start - 1] == '\n';
  return isEntry && startsLine ? start : std::string_view::npos;
}

// Adds the entry of one draw to a back-test file by replacing the whole file,
// so that a crash leaves the entry whole or absent. A last entry for the same
// draw is replaced rather than repeated, so that registering a draw again
// after an interrupted registration does not count it twice.
Status WriteBackTestEntry(const char* file, int drawNumber, BackTestResult result) {
  Result<std::string> read = ReadFileOrEmpty(file);
  if (!read.ok())
    return read.status();
  std::string contents = std::move(read.value());
  if (const std::size_t start = TrailingEntryOf(contents, drawNumber); start != std::string::npos)
    contents.resize(start);
  contents += BackTestEntry(drawNumber, result);
  return WriteFileAtomically(file, contents);
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
  if (!WriteBackTestEntry(file, drawNumber, result).ok()) {
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
