#include "history/CsvText.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "common/NumberText.h"
#include "common/ShiftJis.h"
#include "common/Utf16Text.h"

namespace kitebar {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
// Refusals of the file's form say themselves how to save it again
// (Cause::kForm), so the import adds no advice of its own to them.
constexpr char kSaveAsAdvice[] =
    "表計算ソフトやエディターで「CSV UTF-8」「UTF-8」「Unicode」（UTF-16）または Shift_JIS "
    "を選んで保存し直してから、もう一度実行してください。";

std::uint8_t Byte(char c) {
  return static_cast<std::uint8_t>(c);
}

// The number of bytes of the UTF-8 sequence at the start of `text`, or none
// when it is not a valid one (overlong forms and surrogates included).
std::optional<std::size_t> Utf8SequenceLength(std::string_view text) {
  const std::uint8_t lead = Byte(text[0]);
  if (lead < 0x80)
    return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return std::nullopt;
  }
  if (text.size() < length || Byte(text[1]) < low || Byte(text[1]) > high)
    return std::nullopt;
  for (std::size_t i = 2; i < length; ++i) {
    if (Byte(text[i]) < 0x80 || Byte(text[i]) > 0xBF)
      return std::nullopt;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::optional<std::size_t> length = Utf8SequenceLength(text);
    if (!length)
      return false;
    text.remove_prefix(*length);
  }
  return true;
}

// Shift_JIS as Windows writes it (code page 932): single bytes, half-width
// katakana, and pairs of a lead and a trail byte.
bool IsShiftJis(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t c = Byte(text[i]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
      continue;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead || ++i == text.size())
      return false;
    const std::uint8_t trail = Byte(text[i]);
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
      return false;
  }
  return true;
}

const char* ByteOrderName(bool bigEndian) {
  return bigEndian ? "ビッグエンディアン" : "リトルエンディアン";
}

bool HasAsciiDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Result<std::string> FromUtf16(std::string_view units, bool bigEndian) {
  std::optional<std::string> text = Utf16ToUtf8(units, bigEndian);
  // Digits that appear only in the other byte order: the mark does not belong
  // to the text after it.
  if (!text || !HasAsciiDigit(*text)) {
    const std::optional<std::string> swapped = Utf16ToUtf8(units, !bigEndian);
    if (swapped && HasAsciiDigit(*swapped)) {
      return Status::Failure(std::string("CSV の UTF-16 の印は") + ByteOrderName(bigEndian) +
                                 "ですが、中身は" + ByteOrderName(!bigEndian) +
                                 "で書かれていて、印と中身が合いません。" + kSaveAsAdvice,
                             Cause::kForm);
    }
  }
  if (!text) {
    return Status::Failure(std::string("CSV は UTF-16（") + ByteOrderName(bigEndian) +
                               "）の印で始まっていますが、途中に UTF-16 として読めないところがあり"
                               "ます。" +
                               kSaveAsAdvice,
                           Cause::kForm);
  }
  return std::move(*text);
}

// The 1-based number of the first line of `text` that holds a character
// outside ASCII and reads as UTF-8 (`utf8`) or not; 0 when there is none.
int FirstNonAsciiLine(std::string_view text, bool utf8) {
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string_view line = text.substr(start, end - start);
    ++number;
    const bool nonAscii =
        std::any_of(line.begin(), line.end(), [](char c) { return Byte(c) >= 0x80; });
    if (nonAscii && IsUtf8(line) == utf8)
      return number;
    if (end == std::string_view::npos)
      break;
    start = end + 1;
  }
  return 0;
}

// Characters below the space other than tab and line ends, and DEL: what a
// binary file holds and a table of results never does. A Ctrl+Z that old
// programs wrote at the end of a text is no such character.
Status CheckNoControlCharacters(std::string& text) {
  while (!text.empty() && text.back() == '\x1A')
    text.pop_back();
  const auto control = std::find_if(text.begin(), text.end(), [](char c) {
    const std::uint8_t byte = Byte(c);
    return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F;
  });
  if (control == text.end())
    return Status::Ok();
  return Status::Failure(
      "CSV にテキストでない文字（制御文字）があります。結果の表のファイルではないようです。"
      "表計算ソフトの形式（.xlsx など）のファイルは、CSV として保存し直してから読み込んでく"
      "ださい。",
      Cause::kForm);
}

Result<std::string> UnmarkedText(std::string_view bytes) {
  // NUL bytes are what UTF-16 saved without its mark, or a binary file, looks like.
  if (bytes.find('\0') != std::string_view::npos) {
    return Status::Failure(
        std::string("CSV に NUL 文字があり、文字コードがわかりません（印のない UTF-16 やバイナリ "
                    "ファイルなど）。") +
            kSaveAsAdvice,
        Cause::kForm);
  }
  if (IsUtf8(bytes))
    return std::string(bytes);
  if (const int utf8Line = FirstNonAsciiLine(bytes, true); utf8Line > 0) {
    return Status::Failure("CSV の中で文字コードが混ざっています（" + FormatInt(utf8Line) +
                               " 行目は UTF-8、" + FormatInt(FirstNonAsciiLine(bytes, false)) +
                               " 行目は UTF-8 ではありません）。" + kSaveAsAdvice,
                           Cause::kForm);
  }
  if (IsShiftJis(bytes)) {
    Result<std::string> text = ShiftJisToUtf8(bytes);
    if (!text.ok())
      return Status::Failure("CSV を Shift_JIS として読めません。" + text.message());
    return text;
  }
  return Status::Failure(
      std::string("CSV の文字コードが UTF-8 でも Shift_JIS でもありません。") + kSaveAsAdvice,
      Cause::kForm);
}

Result<std::string> DecodedText(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LittleEndianMark))
    return FromUtf16(bytes.substr(kUtf16LittleEndianMark.size()), false);
  if (bytes.starts_with(kUtf16BigEndianMark))
    return FromUtf16(bytes.substr(kUtf16BigEndianMark.size()), true);
  if (bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    if (!IsUtf8(bytes)) {
      return Status::Failure(
          std::string("CSV は UTF-8 の印で始まっていますが、途中に UTF-8 として読めないところが"
                      "あります。") +
              kSaveAsAdvice,
          Cause::kForm);
    }
    return std::string(bytes);
  }
  return UnmarkedText(bytes);
}

}  // namespace

Result<std::string> CsvText(std::string_view bytes) {
  Result<std::string> text = DecodedText(bytes);
  if (!text.ok())
    return text;
  if (Status plain = CheckNoControlCharacters(text.value()); !plain.ok())
    return plain;
  return text;
}

}  // namespace kitebar
