#include "history/DrawHistory.h"

#include <algorithm>
#include <cstring>

#include "common/AtomicFile.h"
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

void DrawHistory::ParseLine(std::string_view piece, bool& lastStoredPending) {
  if (ColumnOf(piece, 4) != ',')
    return;
  const int value = ParseIntLikeAtoi(piece.substr(0, 4));
  DrawRecord parsed;
  CopyField(parsed.number, piece.substr(0, 4));
  // "More than three characters follow" counts the line end as one character.
  const bool pending = ColumnOf(piece, 5) == ',';
  if (pending) {
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
  if (value < 1 || value > kMaxSlot)
    return;
  slots_[static_cast<std::size_t>(value)] = parsed;
  count = value;
  // Only the last stored line can be the pending one: a pending line earlier
  // in the file, or one numbered 0, must not take the last complete draw out
  // of the count (where a registration would then overwrite it).
  lastStoredPending = pending;
}

Status DrawHistory::Load() {
  count = 0;
  const Result<std::string> contents = ReadWholeFile(file_);
  if (!contents.ok())
    return contents.status();
  std::fill(slots_.begin(), slots_.end(), DrawRecord{});
  bool lastStoredPending = false;
  ForEachLinePiece(*contents, kLinePieceLength,
                   [&](std::string_view piece) { ParseLine(piece, lastStoredPending); });
  if (lastStoredPending)
    --count;
  return Status::Ok();
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
  return WriteFileAtomically(file_, SaveText());
}

Status DrawHistory::SaveCompleteDraws(const std::filesystem::path& file) const {
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
