#include "engine/PredictionRecord.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "common/AppendFile.h"
#include "common/NumberText.h"
#include "common/Sha256.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

constexpr char kNotRecorded[] = "この予想は記録していません。";
constexpr char kPredictionKind[] = "predict";
constexpr char kResultKind[] = "result";
constexpr std::size_t kFieldCount = 7;
constexpr std::size_t kTimeLength = 20;  // 2025-01-06T09:30:00Z
constexpr std::size_t kDigestLength = 12;
constexpr std::size_t kChainLength = 64;
constexpr int kLastDraw = DrawHistory::kMaxDrawNumber;
// A draw's last recorded result in MissingResults: none, or predictions only.
constexpr int kNoResult = -1;
constexpr int kUnsealed = -2;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLowerHex(std::string_view text, std::size_t length) {
  return text.size() == length && std::all_of(text.begin(), text.end(), [](char c) {
           return IsDigit(c) || (c >= 'a' && c <= 'f');
         });
}

bool IsRecordTime(std::string_view text) {
  constexpr std::string_view kShape = "0000-00-00T00:00:00Z";
  if (text.size() != kTimeLength)
    return false;
  for (std::size_t i = 0; i < kTimeLength; ++i) {
    if (kShape[i] == '0' ? !IsDigit(text[i]) : text[i] != kShape[i])
      return false;
  }
  return true;
}

// A whole number from `low` to `high` written as the record writes it: no
// sign, no leading zero.
std::optional<int> PlainNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 4 || (text.size() > 1 && text[0] == '0') ||
      !std::all_of(text.begin(), text.end(), IsDigit)) {
    return std::nullopt;
  }
  const int value = ParseIntLikeAtoi(text);
  if (value < low || value > high)
    return std::nullopt;
  return value;
}

std::optional<int> ThreeDigitNumber(std::string_view text) {
  if (text.size() != 3 || !std::all_of(text.begin(), text.end(), IsDigit))
    return std::nullopt;
  return ParseIntLikeAtoi(text);
}

std::string ThreeDigits(int number) {
  return FormatZeroPadded(number, 3);
}

// The fields of a line, or none when it has not exactly kFieldCount of them.
using Fields = std::array<std::string_view, kFieldCount>;
std::optional<Fields> SplitFields(std::string_view line) {
  Fields fields;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::size_t end = line.find(',');
    if ((end == std::string_view::npos) != (i == kFieldCount - 1))
      return std::nullopt;
    fields[i] = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  }
  return fields;
}

// The ten candidates as written: "ddd ddd … ddd".
bool ReadCandidates(std::string_view text, std::array<int, kCandidateCount>& candidates) {
  constexpr std::size_t kWidth = 4;  // three digits and a blank
  if (text.size() != kCandidateCount * kWidth - 1)
    return false;
  for (std::size_t k = 0; k < kCandidateCount; ++k) {
    const std::optional<int> number = ThreeDigitNumber(text.substr(k * kWidth, 3));
    if (!number || (k + 1 < kCandidateCount && text[k * kWidth + 3] != ' '))
      return false;
    candidates[k] = *number;
  }
  return true;
}

// The fields of a line that are not its chain value, checked; a reason for
// the user when they are not in the record's form.
std::optional<std::string> ReadFields(const Fields& fields, RecordEntry& entry) {
  if (!IsRecordTime(fields[0]))
    return "時刻が「2025-01-06T09:30:00Z」の形ではありません";
  entry.time = std::string(fields[0]);
  const std::optional<int> draw = PlainNumber(fields[2], 1, kLastDraw);
  if (!draw)
    return "回が 1 から 9999 までの数ではありません";
  entry.draw = *draw;
  if (fields[1] == kResultKind) {
    entry.kind = RecordEntry::Kind::kResult;
    const std::optional<int> winning = ThreeDigitNumber(fields[5]);
    if (!fields[3].empty() || !fields[4].empty() || !winning)
      return "当選番号の行の形ではありません";
    entry.winning = *winning;
    return std::nullopt;
  }
  if (fields[1] != kPredictionKind)
    return "種類が predict でも result でもありません";
  entry.kind = RecordEntry::Kind::kPrediction;
  const std::optional<int> set = PlainNumber(fields[3], 1, kSettingsTypeCount);
  if (!set)
    return "タイプが 1 から 5 までの数ではありません";
  entry.settingsType = *set - 1;
  if (!IsLowerHex(fields[4], kDigestLength))
    return "設定の要約値が 16 進数 12 桁ではありません";
  entry.digest = std::string(fields[4]);
  if (!ReadCandidates(fields[5], entry.candidates))
    return "予想番号が 3 桁の数字 10 個ではありません";
  return std::nullopt;
}

Sha256::Digest ChainDigest(std::string_view previousChain, std::string_view text) {
  Sha256 hash;
  hash.Update(previousChain);
  hash.Update(",");
  hash.Update(text);
  return hash.Finish();
}

std::string ChainOf(std::string_view previousChain, std::string_view text) {
  return HexOf(ChainDigest(previousChain, text));
}

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

// Reads one whole line after `record`'s entries into `entry`; a reason
// when it is not the line Kitebar would have written there. `resultSeen`
// marks the draws whose result the record holds so far.
std::optional<std::string> ReadLine(std::string_view line, const ParsedRecord& record,
                                    const std::vector<bool>& resultSeen, RecordEntry& entry) {
  if (line.find('\r') != std::string_view::npos) {
    return "行末が CR LF になっています（エディターで保存し直すとこうなります）";
  }
  const std::optional<Fields> fields = SplitFields(line);
  if (!fields)
    return "欄の数が 7 ではありません";
  if (std::optional<std::string> wrong = ReadFields(*fields, entry))
    return wrong;
  const std::string_view chain = (*fields)[kFieldCount - 1];
  if (!MatchesHex(ChainDigest(record.head, line.substr(0, line.size() - chain.size() - 1)),
                  chain)) {
    if (!IsLowerHex(chain, kChainLength))
      return "検査値が 16 進数 64 桁ではありません";
    return "検査値が合いません。この行が書き換えられたか、この行の前で行が消された、または入れ"
           "替えられています";
  }
  if (entry.kind == RecordEntry::Kind::kPrediction &&
      resultSeen[static_cast<std::size_t>(entry.draw)]) {
    return "第 " + FormatInt(entry.draw) + " 回の当選番号を記録した後の予想です";
  }
  return std::nullopt;
}

std::string TimeFromClock() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date(day);
  const hh_mm_ss time(now - day);
  return FormatZeroPadded(static_cast<int>(date.year()), 4) + "-" +
         FormatZeroPadded(static_cast<unsigned>(date.month()), 2) + "-" +
         FormatZeroPadded(static_cast<unsigned>(date.day()), 2) + "T" +
         FormatZeroPadded(time.hours().count(), 2) + ":" +
         FormatZeroPadded(time.minutes().count(), 2) + ":" +
         FormatZeroPadded(time.seconds().count(), 2) + "Z";
}

// The present moment as the record writes it; KITEBAR_RECORD_TIME, in that
// form, stands in for the clock.
std::string RecordTimeNow() {
  if (const char* fixed = std::getenv("KITEBAR_RECORD_TIME");
      fixed != nullptr && IsRecordTime(fixed))
    return fixed;
  return TimeFromClock();
}

// The same draw, set, digest and candidates are recorded already.
bool HoldsPrediction(const ParsedRecord& record, const RecordEntry& prediction) {
  return std::any_of(record.entries.begin(), record.entries.end(), [&](const RecordEntry& entry) {
    return entry.kind == RecordEntry::Kind::kPrediction && entry.draw == prediction.draw &&
           entry.settingsType == prediction.settingsType && entry.digest == prediction.digest &&
           entry.candidates == prediction.candidates;
  });
}

// The record took the draw's winning number.
bool HoldsResultOf(const ParsedRecord& record, int draw) {
  return std::any_of(record.entries.begin(), record.entries.end(), [&](const RecordEntry& entry) {
    return entry.kind == RecordEntry::Kind::kResult && entry.draw == draw;
  });
}

// The entry that records `prediction` now.
RecordEntry PredictionEntryOf(const Prediction& prediction) {
  RecordEntry entry;
  entry.time = RecordTimeNow();
  entry.draw = prediction.drawNumber;
  entry.settingsType = prediction.settingsType;
  entry.digest = prediction.settingsDigest;
  for (int k = 1; k <= kCandidateCount; ++k) {
    entry.candidates[static_cast<std::size_t>(k - 1)] =
        ParseIntLikeAtoi(CandidateText(prediction.candidates, k));
  }
  return entry;
}

}  // namespace

std::filesystem::path PredictionRecordFileOf(const DrawHistory& history) {
  return history.file().parent_path() / kPredictionRecordFile;
}

ParsedRecord ParseRecord(std::string_view text) {
  ParsedRecord record;
  record.entries.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  std::vector<bool> resultSeen(kLastDraw + 1, false);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const int lineNumber = record.lines + 1;
    if (end == std::string_view::npos) {
      record.broken = RecordBreak{lineNumber,
                                  "最後の行に行末がなく、途中で切れています（書き込みの途中で"
                                  "停電などがあったか、行の終わりが消されています）"};
      return record;
    }
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (IsBlankLine(line)) {
      ++record.lines;
      continue;
    }
    RecordEntry entry;
    entry.line = lineNumber;
    if (std::optional<std::string> wrong = ReadLine(line, record, resultSeen, entry)) {
      record.broken = RecordBreak{lineNumber, std::move(*wrong)};
      return record;
    }
    if (entry.kind == RecordEntry::Kind::kResult)
      resultSeen[static_cast<std::size_t>(entry.draw)] = true;
    record.head.assign(line.substr(line.size() - kChainLength));
    record.entries.push_back(std::move(entry));
    ++record.lines;
  }
  return record;
}

std::string RecordBreakMessage(const std::filesystem::path& file, const RecordBreak& broken) {
  return "予想の記録「" + file.string() + "」の " + FormatInt(broken.line) +
         " 行目が壊れています（" + broken.reason + "）。" +
         (broken.line > 1 ? FormatInt(broken.line - 1) + " 行目まで"
                          : std::string("最初の行の前まで")) +
         "を使い、この行から後は集計も追記もしません。Kitebar は記録を書き直しません。心当たりの"
         "ある変更なら元に戻してください。新しく記録を始めるには、このファイルを別の名前に変えて"
         "残してください。";
}

std::string RecordLine(const RecordEntry& entry, std::string_view previousChain) {
  std::string text = entry.time + ",";
  if (entry.kind == RecordEntry::Kind::kResult) {
    text +=
        std::string(kResultKind) + "," + FormatInt(entry.draw) + ",,," + ThreeDigits(entry.winning);
  } else {
    text += std::string(kPredictionKind) + "," + FormatInt(entry.draw) + "," +
            FormatInt(entry.settingsType + 1) + "," + entry.digest + ",";
    for (std::size_t k = 0; k < kCandidateCount; ++k)
      text.append(k == 0 ? "" : " ").append(ThreeDigits(entry.candidates[k]));
  }
  const std::string chain = ChainOf(previousChain, text);
  return text + "," + chain + "\n";
}

std::optional<int> HeldWinningNumber(const DrawHistory& history, int draw) {
  if (draw < 1 || draw > history.count)
    return std::nullopt;
  const DrawRecord& record = history.record(draw);
  if (!record.exists() || record.isPending())
    return std::nullopt;
  return ThreeDigitNumber(record.digitsText());
}

std::vector<RecordEntry> MissingResults(const ParsedRecord& record, const DrawHistory& history,
                                        int onlyDraw) {
  // The last result recorded for each draw with predictions, -1 for none.
  std::vector<int> lastResult(kLastDraw + 1, kNoResult);
  for (const RecordEntry& entry : record.entries) {
    if (onlyDraw != 0 && entry.draw != onlyDraw)
      continue;
    int& last = lastResult[static_cast<std::size_t>(entry.draw)];
    if (entry.kind == RecordEntry::Kind::kResult) {
      last = entry.winning;
    } else if (last == kNoResult) {
      last = kUnsealed;
    }
  }
  std::vector<RecordEntry> missing;
  for (int draw = 1; draw <= kLastDraw; ++draw) {
    const int last = lastResult[static_cast<std::size_t>(draw)];
    const std::optional<int> held = HeldWinningNumber(history, draw);
    if (last == kNoResult || !held || last == *held)
      continue;
    RecordEntry result;
    result.kind = RecordEntry::Kind::kResult;
    result.time = RecordTimeNow();
    result.draw = draw;
    result.winning = *held;
    missing.push_back(std::move(result));
  }
  return missing;
}

Status RecordAfterRegistration(const DrawHistory& history, int draw, bool newDraw) {
  const std::filesystem::path file = PredictionRecordFileOf(history);
  const Result<ParsedRecord> record = ReadPredictionRecord(file);
  if (!record.ok())
    return record.status();
  std::vector<RecordEntry> entries = MissingResults(*record, history, draw);
  if (newDraw && WindmillSimulator::IsRunnableDraw(draw + 1) && !HoldsResultOf(*record, draw + 1)) {
    // The position the prediction estimates stays in the copy: registering
    // a number never stored one for the next draw.
    DrawHistory scratch = history;
    const Result<Prediction> next =
        PredictionRun(scratch, draw + 1, false, EstimateSave::kByCaller);
    if (next.ok() && !HoldsPrediction(*record, PredictionEntryOf(*next)))
      entries.push_back(PredictionEntryOf(*next));
  }
  if (entries.empty())
    return Status::Ok();
  return AppendRecordEntries(file, *record, std::move(entries));
}

Result<ParsedRecord> ReadPredictionRecord(const std::filesystem::path& file) {
  Result<std::string> text = ReadAppendedFile(file, kMaxPredictionRecordBytes);
  if (!text.ok())
    return text.status();
  return ParseRecord(*text);
}

Status AppendRecordEntries(const std::filesystem::path& file, const ParsedRecord& record,
                           std::vector<RecordEntry> entries) {
  if (record.broken)
    return Status::Failure(RecordBreakMessage(file, *record.broken), Cause::kForm);
  std::string lines;
  std::string chain = record.head;
  for (const RecordEntry& entry : entries) {
    lines += RecordLine(entry, chain);
    chain = lines.substr(lines.size() - 1 - kChainLength, kChainLength);
  }
  return AppendLinesDurably(file, lines, kMaxPredictionRecordBytes);
}

Result<RecordOutcome> RecordShownPrediction(DrawHistory& history, const Prediction& prediction) {
  // A draw held when the history was read needs no lock to be turned away.
  if (prediction.drawNumber <= history.count)
    return RecordOutcome::kResultKnown;
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status().Wrapped(kNotRecorded);
  if (prediction.drawNumber <= history.count)
    return RecordOutcome::kResultKnown;
  const std::filesystem::path file = PredictionRecordFileOf(history);
  const Result<ParsedRecord> record = ReadPredictionRecord(file);
  if (!record.ok())
    return record.status().Wrapped(kNotRecorded);
  if (record->broken)
    return Status::Failure(std::string(kNotRecorded) + RecordBreakMessage(file, *record->broken),
                           Cause::kForm);
  const RecordEntry entry = PredictionEntryOf(prediction);
  if (HoldsResultOf(*record, entry.draw))
    return RecordOutcome::kResultKnown;
  if (HoldsPrediction(*record, entry))
    return RecordOutcome::kAlreadyRecorded;
  if (Status added = AppendRecordEntries(file, *record, {entry}); !added.ok())
    return added.Wrapped(kNotRecorded);
  return RecordOutcome::kAdded;
}

}  // namespace kitebar
