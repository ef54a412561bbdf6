#include "history/DrawHistory.h"

#include <algorithm>
#include <cstring>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "common/TextLines.h"

namespace kitebar {
namespace {

// A line is read in pieces of at most this many characters (with its line
// end); the rest of a longer line is read as a further line.
constexpr std::size_t kLinePieceLength = 127;

template <std::size_t N>
void CopyField(std::array<char, N>& field, std::string_view text) {
  field.fill('\0');
  std::copy_n(text.begin(), std::min(N, text.size()), field.begin());
}

// Characters of a line piece from `column` on, as a field: the line end and
// anything past the piece are not part of it. A piece holds a '\n' only as
// its last character.
std::string_view ColumnsOf(std::string_view piece, std::size_t column, std::size_t width) {
  const std::string_view text = piece.substr(0, piece.size() - (piece.ends_with('\n') ? 1 : 0));
  return text.substr(std::min(column, text.size()), width);
}

char ColumnOf(std::string_view piece, std::size_t column) {
  const std::string_view text = ColumnsOf(piece, column, 1);
  return text.empty() ? '\0' : text[0];
}

bool IsDrawInRange(int n, int count) {
  return n >= 1 && n <= count + 1 && n <= DrawHistory::kMaxDrawNumber;
}

std::string OutOfRangeMessage(int n) {
  return "第 " + FormatInt(n) + " 回は登録できる回の範囲外です。" +
         (n > DrawHistory::kMaxDrawNumber ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                                          : "登録できるのは記録済みの回と、その次の回です。");
}

// The longest line a record gives: "NNNN,DDD,PPP,S" and CR LF.
constexpr std::size_t kLongestLine = 16;

// Writes the whole field and advances past its text: the bytes after the
// text are overwritten by what follows or cut off at the end (every line has
// room for its longest form).
template <std::size_t N>
char* WriteField(char* out, const std::array<char, N>& field) {
  std::memcpy(out, field.data(), N);
  return out + DrawRecord::FieldText(field).size();
}

// Writes the line of `record` at `out` and returns its end: the number, ",",
// the digits (when `withDigits`), the position part when the record has a
// position, and CR LF. The file is rewritten whole after every change, so
// its text is written in place rather than piece by piece.
char* WriteLine(char* out, const DrawRecord& record, bool withDigits) {
  out = WriteField(out, record.number);
  *out++ = ',';
  if (withDigits)
    out = WriteField(out, record.digits);
  if (record.hasPosition()) {
    *out++ = ',';
    std::memcpy(out, record.position.data(), record.position.size());
    out += record.position.size();
    *out++ = ',';
    if (record.status != '\0')
      *out++ = record.status;
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

// The lines of the slots 1 to `last` that `take` accepts, in order; with
// `pendingWithoutDigits` a record whose digits start with 'x' is written
// with an empty digits field.
template <typename Take>
std::string FileText(const std::vector<DrawRecord>& slots, int last, Take take,
                     bool pendingWithoutDigits) {
  std::string out(static_cast<std::size_t>(std::max(last, 0)) * kLongestLine, '\0');
  char* end = out.data();
  for (int n = 1; n <= last; ++n) {
    const DrawRecord& slot = slots[static_cast<std::size_t>(n)];
    if (take(slot))
      end = WriteLine(end, slot, !pendingWithoutDigits || slot.digits[0] != 'x');
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace

DrawHistory::DrawHistory(std::filesystem::path file)
    : file_(std::move(file)), slots_(kMaxSlot + 1) {}

std::optional<HistoryLine> ParseHistoryLine(std::string_view piece) {
  if (ColumnOf(piece, 4) != ',')
    return std::nullopt;
  HistoryLine line;
  line.draw = ParseIntLikeAtoi(piece.substr(0, 4));
  DrawRecord& parsed = line.record;
  CopyField(parsed.number, piece.substr(0, 4));
  // "More than three characters follow" counts the line end as one character.
  line.pending = ColumnOf(piece, 5) == ',';
  if (line.pending) {
    CopyField(parsed.digits, "xxx");
    if (piece.size() > 6 + 3) {
      CopyField(parsed.position, ColumnsOf(piece, 6, 3));
      parsed.status = ColumnOf(piece, 10);
    }
  } else {
    CopyField(parsed.digits, ColumnsOf(piece, 5, 3));
    if (piece.size() > 9 + 3) {
      CopyField(parsed.position, ColumnsOf(piece, 9, 3));
      parsed.status = ColumnOf(piece, 13);
    }
  }
  return line;
}

std::string PrintableLine(std::string_view line) {
  constexpr std::size_t kShown = 40;
  std::string shown;
  for (char c : line.substr(0, kShown)) {
    if (c == '\r' || c == '\n')
      break;
    shown += (c >= ' ' && c < '\x7F') ? c : '?';
  }
  if (line.size() > kShown)
    shown += "...";
  return shown;
}

bool DrawHistory::ParseLine(std::string_view piece, int lineNumber, bool& lastStoredPending) {
  const std::optional<HistoryLine> line = ParseHistoryLine(piece);
  if (!line || line->draw < 1 || line->draw > kMaxSlot)
    return true;
  // The writers put the draws in ascending order, one line each. A draw that
  // does not follow the one before would replace a stored draw (a stray
  // "0005,..." at the end would drop every draw after 5 at the next save):
  // the load stops there and the file is kept as it is.
  if (line->draw <= count) {
    damage_ = HistoryDamage{lineNumber, PrintableLine(piece), line->draw, count};
    return false;
  }
  slots_[static_cast<std::size_t>(line->draw)] = line->record;
  count = line->draw;
  // Only the last stored line can be the pending one: a pending line earlier
  // in the file must not take the last complete draw out of the count (where
  // a registration would then overwrite it).
  lastStoredPending = line->pending;
  return true;
}

Status DrawHistory::Load() {
  count = 0;
  const Result<std::string> contents = ReadWholeFile(file_, kMaxHistoryFileBytes);
  if (!contents.ok())
    return contents.status();
  LoadText(*contents);
  return Status::Ok();
}

void DrawHistory::LoadText(std::string_view contents) {
  Clear();
  bool lastStoredPending = false;
  bool reading = true;
  int lineNumber = 1;
  ForEachLinePiece(contents, kLinePieceLength, [&](std::string_view piece) {
    if (reading)
      reading = ParseLine(piece, lineNumber, lastStoredPending);
    if (piece.ends_with('\n'))
      ++lineNumber;
  });
  if (lastStoredPending)
    --count;
}

void DrawHistory::Clear() {
  std::fill(slots_.begin(), slots_.end(), DrawRecord{});
  count = 0;
  damage_.reset();
}

std::string DrawHistory::DamageDescription() const {
  const HistoryDamage& damage = *damage_;
  return "当選番号ファイル「" + file_.string() + "」の " + FormatInt(damage.line) + " 行目「" +
         damage.text + "」は第 " + FormatInt(damage.draw) + " 回で、前の行の第 " +
         FormatInt(damage.previousDraw) + " 回より後の回ではありません。";
}

Status DrawHistory::CheckWhole() const {
  if (!damage_)
    return Status::Ok();
  return Status::Failure(DamageDescription() +
                         "ファイルが壊れているため、書き込みを中止しました。kitebar-cli repair で"
                         "直してください（元のファイルは日付つきの控えに残ります）。ファイルは"
                         "そのままにしてあります。");
}

std::string DrawHistory::DamageWarning() const {
  if (!damage_)
    return {};
  return "注意: " + DamageDescription() + "ファイルが壊れているため、その前の行（第 " +
         FormatInt(count) +
         " 回まで）だけを読みました。kitebar-cli repair で直すまで、当選番号ファイルには書き込み"
         "ません。";
}

std::string DrawHistory::SaveText() const {
  return FileText(
      slots_, std::min(count + 1, kMaxSlot), [](const DrawRecord& slot) { return slot.exists(); },
      true);
}

std::string DrawHistory::CompleteDrawsText() const {
  return FileText(
      slots_, std::min(count, kMaxSlot),
      [](const DrawRecord& slot) { return slot.digits[0] != '\0'; }, false);
}

Status DrawHistory::Save() const {
  if (Status whole = CheckWhole(); !whole.ok())
    return whole;
  return WriteFileAtomically(file_, SaveText());
}

Status DrawHistory::SaveCompleteDraws(const std::filesystem::path& file) const {
  if (Status whole = CheckWhole(); !whole.ok())
    return whole;
  return WriteFileAtomically(file, CompleteDrawsText());
}

Status DrawHistory::SetDigits(int n, std::string_view digits) {
  if (!IsDrawInRange(n, count))
    return Status::Failure(OutOfRangeMessage(n));
  DrawRecord& slot = record(n);
  if (n == count + 1)
    CopyField(slot.number, FormatZeroPadded(n, 4));
  CopyField(slot.digits, digits);
  return Status::Ok();
}

Status DrawHistory::SetPosition(int n, std::string_view position, char status) {
  if (!IsDrawInRange(n, count))
    return Status::Failure(OutOfRangeMessage(n));
  DrawRecord& slot = record(n);
  if (n == count + 1)
    CopyField(slot.number, FormatZeroPadded(n, 4));
  CopyField(slot.position, position);
  slot.status = status;
  return Status::Ok();
}

Status DrawHistory::AppendImportedDraw(std::string_view digits) {
  const int next = count + 1;
  if (!IsDrawInRange(next, count))
    return Status::Failure(OutOfRangeMessage(next));
  count = next;
  DrawRecord& slot = record(next);
  // A pending record of this draw keeps its position and status.
  CopyField(slot.number, FormatZeroPadded(next, 4));
  CopyField(slot.digits, digits);
  return Status::Ok();
}

ThreeDigitEntry ApplyThreeDigitEntryRule(std::string_view entry) {
  ThreeDigitEntry result;
  result.padded = std::string(entry.size() < 3 ? 3 - entry.size() : 0, '0') + std::string(entry);
  result.valid =
      result.padded.size() == 3 && std::all_of(result.padded.begin(), result.padded.end(),
                                               [](char c) { return c >= '0' && c <= '9'; });
  return result;
}

}  // namespace kitebar
