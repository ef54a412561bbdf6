#include "engine/BackTest.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "engine/PredictionRun.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

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

Status CannotWrite(const char* file, const Status& failure) {
  return failure.Wrapped(std::string("予想成績のファイル「") + file + "」に書き込めません（", "）");
}

Status CannotSaveHistory(const Status& saved) {
  return saved.Wrapped(
      "推定した風車位置を当選番号ファイルに保存できないため、予想成績を記録しませんでした。");
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

// A back-test file at the size its reader accepts: the entry of one more
// draw does not fit.
Status FullFileFailure(const char* file) {
  return Status::Failure(std::string("予想成績のファイル「") + file +
                             "」は Kitebar が読める上限（" +
                             FormatInt(static_cast<long long>(kMaxBackTestFileBytes)) +
                             " バイト）に達していて、この回の成績を書き足せません",
                         Cause::kSizeLimit);
}

// Gives every entry of `drawNumber` in `contents` the result that `score`
// gives (asked once, when there is such an entry); whether there was one.
bool RescoreEntries(std::string& contents, int drawNumber,
                    const std::function<BackTestResult()>& score) {
  const std::string numberLine = FormatInt(drawNumber);
  std::optional<BackTestResult> result;
  bool numberLineNext = true;
  bool entryOfDraw = false;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos)
      end = contents.size();
    std::string_view line(contents.data() + start, end - start);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    if (numberLineNext) {
      entryOfDraw = line == numberLine;
    } else if (entryOfDraw && line.size() >= 2) {
      if (!result)
        result = score();
      contents[start] = result->main;
      contents[start + 1] = result->mini;
    }
    numberLineNext = !numberLineNext;
    start = end + 1;
  }
  return result.has_value();
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

BackTestedDraw BackTestInMemory(DrawHistory& history, int drawNumber,
                                std::string_view winningDigits) {
  const Result<Prediction> prediction =
      PredictionRun(history, drawNumber, false, EstimateSave::kByCaller);
  if (!prediction.ok())
    return {};
  return {CompareCandidates(prediction->candidates, WinningDigitsOf(winningDigits)),
          prediction->estimated};
}

Result<BackTestChange> PrepareBackTestEntry(const char* file, int drawNumber,
                                            BackTestResult result) {
  Result<std::string> read = ReadFileOrEmpty(file, kMaxBackTestFileBytes);
  if (!read.ok())
    return CannotWrite(file, read.status());
  std::string contents = std::move(read.value());
  if (const std::size_t start = TrailingEntryOf(contents, drawNumber); start != std::string::npos)
    contents.resize(start);
  contents += BackTestEntry(drawNumber, result);
  if (contents.size() > kMaxBackTestFileBytes)
    return FullFileFailure(file);
  if (Status writable = CheckReplaceable(file); !writable.ok())
    return CannotWrite(file, writable);
  return BackTestChange{std::move(contents)};
}

Result<BackTestChange> PrepareBackTestRescore(const char* file, int drawNumber,
                                              const std::function<BackTestResult()>& score) {
  Result<std::string> read = ReadFileOrEmpty(file, kMaxBackTestFileBytes);
  if (!read.ok())
    return CannotWrite(file, read.status());
  std::string contents = std::move(read.value());
  if (!RescoreEntries(contents, drawNumber, score))
    return BackTestChange{};
  if (Status writable = CheckReplaceable(file); !writable.ok())
    return CannotWrite(file, writable);
  return BackTestChange{std::move(contents)};
}

// The whole file is replaced, so that a crash leaves the entry whole or
// absent.
Status WriteBackTestChange(const char* file, const BackTestChange& change) {
  if (!change.contents)
    return Status::Ok();
  if (Status written = WriteFileAtomically(file, *change.contents); !written.ok())
    return CannotWrite(file, written);
  return Status::Ok();
}

Result<BackTestResult> BackTestDraw(DrawHistory& history, int drawNumber,
                                    std::string_view winningDigits, bool toLast500File) {
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  const char* file = toLast500File ? kRecentBackTestFile : kBackTestFile;
  if (Status writable = CheckAllReplaceable({history.file(), file}); !writable.ok())
    return writable;
  const BackTestedDraw tested = BackTestInMemory(history, drawNumber, winningDigits);
  const Result<BackTestChange> entry = PrepareBackTestEntry(file, drawNumber, tested.result);
  if (!entry.ok())
    return entry.status();
  if (tested.estimated) {
    if (Status saved = history.Save(); !saved.ok())
      return CannotSaveHistory(saved);
  }
  if (Status written = WriteBackTestChange(file, *entry); !written.ok())
    return written;
  return tested.result;
}

Status RunRecentBackTest(DrawHistory& history) {
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  if (Status writable = CheckAllReplaceable({history.file(), kRecentBackTestFile}); !writable.ok())
    return writable;
  // Draw 1 has no draw before it to predict from.
  const int first =
      std::max(WindmillSimulator::kFirstRunnableDraw, history.count - (kRecentDrawCount - 1));
  std::string entries;
  bool estimated = false;
  for (int draw = first; draw <= history.count; ++draw) {
    const std::string digits(history.record(draw).digitsText());
    const BackTestedDraw tested = BackTestInMemory(history, draw, digits);
    entries += BackTestEntry(draw, tested.result);
    estimated = estimated || tested.estimated;
  }
  // Statistics of predictions whose positions the history does not hold
  // would not be what the next run shows: the history is saved first.
  if (estimated) {
    if (Status saved = history.Save(); !saved.ok())
      return CannotSaveHistory(saved);
  }
  if (Status written = WriteFileAtomically(kRecentBackTestFile, entries); !written.ok())
    return CannotWrite(kRecentBackTestFile, written);
  return Status::Ok();
}

}  // namespace kitebar
