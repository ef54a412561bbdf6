#include "history/DrawHistory.h"

#include <algorithm>

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
// anything past the piece are not part of it.
std::string_view ColumnsOf(std::string_view piece, std::size_t column, std::size_t width) {
  if (column >= piece.size())
    return {};
  std::string_view text = piece.substr(column, width);
  return text.substr(0, text.find('\n'));
}

char ColumnOf(std::string_view piece, std::size_t column) {
  const std::string_view text = ColumnsOf(piece, column, 1);
  return text.empty() ? '\0' : text[0];
}

bool IsDrawInRange(int n, int count) {
  return n >= 1 && n <= count + 1 && n <= DrawHistory::kMaxDrawNumber;
}

std::string OutOfRangeMessage(int n) {
  return "第 " + FormatInt(n) + " 回は登録できる回の範囲外です。";
}

void AppendPositionPart(std::string& out, const DrawRecord& record) {
  if (!record.hasPosition())
    return;
  out += ',';
  out.append(record.position.data(), 3);
  out += ',';
  if (record.status != '\0')
    out += record.status;
}

}  // namespace

DrawHistory::DrawHistory(std::filesystem::path file)
    : file_(std::move(file)), slots_(kMaxSlot + 1) {}

void DrawHistory::ParseLine(std::string_view piece, bool& pendingSeen) {
  if (ColumnOf(piece, 4) != ',')
    return;
  const int value = ParseIntLikeAtoi(piece.substr(0, 4));
  DrawRecord parsed;
  CopyField(parsed.number, piece.substr(0, 4));
  // "More than three characters follow" counts the line end as one character.
  if (ColumnOf(piece, 5) == ',') {
    CopyField(parsed.digits, "xxx");
    if (piece.size() > 6 + 3) {
      CopyField(parsed.position, ColumnsOf(piece, 6, 3));
      parsed.status = ColumnOf(piece, 10);
    }
    pendingSeen = true;
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
}

Status DrawHistory::Load() {
  count = 0;
  const Result<std::string> contents = ReadWholeFile(file_);
  if (!contents.ok())
    return contents.status();
  std::fill(slots_.begin(), slots_.end(), DrawRecord{});
  bool pendingSeen = false;
  ForEachLinePiece(*contents, kLinePieceLength,
                   [&](std::string_view piece) { ParseLine(piece, pendingSeen); });
  if (pendingSeen)
    --count;
  return Status::Ok();
}

std::string DrawHistory::SaveText() const {
  std::string out;
  out.reserve(static_cast<std::size_t>(count + 1) * 16);
  const int last = std::min(count + 1, kMaxSlot);
  for (int n = 1; n <= last; ++n) {
    const DrawRecord& slot = record(n);
    if (!slot.exists())
      continue;
    out += slot.numberText();
    out += ',';
    if (slot.digits[0] != 'x')
      out += slot.digitsText();
    AppendPositionPart(out, slot);
    out += "\r\n";
  }
  return out;
}

std::string DrawHistory::CompleteDrawsText() const {
  std::string out;
  out.reserve(static_cast<std::size_t>(count) * 16);
  for (int n = 1; n <= std::min(count, kMaxSlot); ++n) {
    const DrawRecord& slot = record(n);
    if (slot.digits[0] == '\0')
      continue;
    out += slot.numberText();
    out += ',';
    out += slot.digitsText();
    AppendPositionPart(out, slot);
    out += "\r\n";
  }
  return out;
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
