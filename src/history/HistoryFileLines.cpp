#include "history/HistoryFileLines.h"

#include <algorithm>
#include <array>

#include "common/NumberText.h"

namespace kitebar {
namespace {

// A line is read in pieces of at most this many characters (with its line
// end); the rest of a longer line is read as a further line.
constexpr std::size_t kLinePieceLength = 127;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Draw numbers are counted up to here; anything longer is beyond the file.
constexpr long long kNumberCeiling = 1'000'000'000;

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

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A full-width digit in UTF-8 (U+FF10 to U+FF19) starts at `i`.
bool IsFullWidthDigitAt(std::string_view text, std::size_t i) {
  return i + 2 < text.size() && text[i] == '\xEF' && text[i + 1] == '\xBC' &&
         static_cast<unsigned char>(text[i + 2]) >= 0x90 &&
         static_cast<unsigned char>(text[i + 2]) <= 0x99;
}

// Whether a user reading the line would see a number in it.
bool HoldsADigit(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDigit(text[i]) || IsFullWidthDigitAt(text, i))
      return true;
  }
  return false;
}

// The winning-number field from the draw's comma on: three ASCII digits, or
// nothing on a pending line, then the end of the line or a comma.
bool IsExactWinningField(std::string_view fromComma) {
  const std::string_view field = fromComma.substr(1);
  if (field.empty() || field.front() == ',')
    return true;
  return field.size() >= 3 && IsDigit(field[0]) && IsDigit(field[1]) && IsDigit(field[2]) &&
         (field.size() == 3 || field[3] == ',');
}

// The number field at the start of a line: whether the line names a draw,
// which one, and where its comma is.
struct NumberField {
  enum class Kind { kNoDraw, kDrawZero, kDraw, kUnclear } kind = Kind::kNoDraw;
  long long value = 0;
  std::size_t comma = 0;
};

NumberField ReadNumberField(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t digits = i;
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    value = std::min(value * 10 + (text[i] - '0'), kNumberCeiling);
  if (i > digits && i < text.size() && text[i] == ',') {
    // Draw 0 holds no draw, as a header or a note does not; a draw below it
    // is nothing the file can mean.
    if (value == 0)
      return {NumberField::Kind::kDrawZero, 0, i};
    if (negative)
      return {};
    return {NumberField::Kind::kDraw, value, i};
  }
  // Not digits before the comma, but the format's fixed columns would still
  // take the line for a draw ("12ab,345" as draw 12).
  if (ColumnOf(text, 4) == ',') {
    const int fixed = ParseIntLikeAtoi(text.substr(0, 4));
    if (fixed >= 1)
      return {NumberField::Kind::kUnclear, fixed, 4};
  }
  return {};
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.starts_with(kByteOrderMark))
    text.remove_prefix(kByteOrderMark.size());
  return text;
}

std::string WithoutNuls(std::string_view text) {
  std::string out(text);
  std::erase(out, '\0');
  return out;
}

// The text that a save writes for the line, without its line end.
std::string WriterForm(const HistoryLine& line) {
  const DrawRecord& record = line.record;
  std::string text(record.numberText());
  text += ',';
  if (record.digits[0] != 'x')
    text += record.digitsText();
  if (record.hasPosition()) {
    text += ',';
    text += record.positionText();
    text += ',';
    if (record.status != '\0')
      text += record.status;
  }
  return text;
}

// The line of one piece, when it holds a draw.
std::optional<HistoryFileLine> ReadPiece(int line, std::string_view bytes, bool lineEnd) {
  std::string_view text = bytes;
  if (text.starts_with(kByteOrderMark))
    text.remove_prefix(kByteOrderMark.size());
  if (!HoldsADigit(text))
    return std::nullopt;
  HistoryFileLine read{line, bytes, 0, HistoryLineFault::kNone, {}};
  // Digits beside zero bytes are damage even where they name no draw: kept as
  // a note, they could make the file that a save writes read as UTF-16.
  if (text.find('\0') != std::string_view::npos) {
    const NumberField field = ReadNumberField(WithoutNuls(text));
    read.draw = static_cast<int>(field.value);
    read.fault = HistoryLineFault::kNul;
    return read;
  }
  const NumberField field = ReadNumberField(text);
  read.draw = static_cast<int>(field.value);
  switch (field.kind) {
    case NumberField::Kind::kDrawZero:
      return std::nullopt;
    case NumberField::Kind::kNoDraw:
      read.fault = HistoryLineFault::kUnclearLine;
      return read;
    case NumberField::Kind::kUnclear:
      read.fault = HistoryLineFault::kUnclearNumber;
      return read;
    case NumberField::Kind::kDraw:
      break;
  }
  if (field.value > 9999) {
    read.fault = HistoryLineFault::kBeyondLastDraw;
    return read;
  }
  if (!IsExactWinningField(text.substr(field.comma))) {
    read.fault = HistoryLineFault::kUnclearWinningNumber;
    return read;
  }
  // The writers' layout is read by its columns, as it stands. Any other
  // number field is read as the line the writers would have written: the
  // number with four digits, then the rest from the comma on, which must be
  // in the writers' form itself.
  const bool fixedColumns =
      field.comma == 4 && std::all_of(text.begin(), text.begin() + 4, IsDigit);
  std::string_view rest = text.substr(field.comma);
  if (!fixedColumns) {
    while (!rest.empty() && IsBlank(rest.back()))
      rest.remove_suffix(1);
  }
  std::string canonical = FormatZeroPadded(field.value, 4);
  canonical.append(rest);
  const std::size_t textEnd = canonical.size();
  if (lineEnd)
    canonical.push_back('\n');
  read.parsed = *ParseHistoryLine(canonical);
  if (!fixedColumns && WriterForm(read.parsed) != std::string_view(canonical).substr(0, textEnd))
    read.fault = HistoryLineFault::kNotInTheFormat;
  return read;
}

// A piece of a long line continues the passed-over piece before it, so that
// the line is kept whole.
void PassOver(std::vector<PassedOverLine>& passedOver, std::size_t before, int line,
              std::string_view piece) {
  if (!passedOver.empty()) {
    PassedOverLine& last = passedOver.back();
    if (last.line == line && last.before == before &&
        last.bytes.data() + last.bytes.size() == piece.data()) {
      last.bytes = std::string_view(last.bytes.data(), last.bytes.size() + piece.size());
      return;
    }
  }
  passedOver.push_back({before, line, WithoutByteOrderMark(piece)});
}

}  // namespace

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

bool HistoryFileLine::complete() const {
  const std::string_view digits = parsed.record.digitsText();
  return readable() && !parsed.pending && digits.size() == 3 &&
         std::all_of(digits.begin(), digits.end(), IsDigit);
}

std::vector<HistoryFileLine> ReadHistoryFileLines(std::string_view contents,
                                                  std::vector<PassedOverLine>* passedOver) {
  std::vector<HistoryFileLine> lines;
  lines.reserve(static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n')) + 1);
  int line = 1;
  std::size_t i = 0;
  while (i < contents.size()) {
    std::size_t end = i;
    while (end < contents.size() && end - i < kLinePieceLength && contents[end] != '\r' &&
           contents[end] != '\n') {
      ++end;
    }
    const std::string_view piece = contents.substr(i, end - i);
    i = end;
    // CR LF, LF and a bare CR each end a line, as editors count them.
    const bool lineEnd = i < contents.size() && piece.size() < kLinePieceLength;
    if (lineEnd) {
      if (contents[i] == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n')
        ++i;
      ++i;
    }
    if (std::optional<HistoryFileLine> read = ReadPiece(line, piece, lineEnd))
      lines.push_back(*read);
    else if (passedOver != nullptr)
      PassOver(*passedOver, lines.size(), line, piece);
    if (lineEnd)
      ++line;
  }
  return lines;
}

std::string PrintableLine(std::string_view line) {
  constexpr std::size_t kShown = 40;
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (char c : line.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      shown += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0x0F];
    }
  }
  if (line.size() > kShown)
    shown += "...";
  return shown;
}

}  // namespace kitebar
