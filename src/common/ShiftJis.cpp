#include "common/ShiftJis.h"

#include <unordered_map>

#include "common/ShiftJisCodec.h"

namespace kitebar {
namespace {

Status UnavailableFailure() {
  return Status::Failure(
      "Shift_JIS（CP932）の文字コード変換を使えません。glibc の変換モジュール（gconv）が"
      "入っているか確かめてください。");
}

bool IsAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

}  // namespace

Status UnconvertibleTextFailure() {
  return Status::Failure("Shift_JIS と UTF-8 の間で変換できない文字があります。");
}

Result<std::string> Utf8ToShiftJis(std::string_view utf8) {
  // Pages are mostly ASCII, which code page 932 keeps byte for byte and which
  // never occurs inside a UTF-8 sequence; a page of 10,000 rows repeats the
  // same few Japanese words. So ASCII is copied, and each distinct run of
  // other characters is converted once.
  ShiftJisCodec codec(ShiftJisCodec::Direction::kToShiftJis);
  if (!codec.available())
    return UnavailableFailure();
  std::string output;
  output.reserve(utf8.size());
  std::unordered_map<std::string_view, std::string> convertedRuns;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t asciiStart = i;
    while (i < utf8.size() && IsAscii(utf8[i]))
      ++i;
    output.append(utf8.substr(asciiStart, i - asciiStart));
    const std::size_t runStart = i;
    while (i < utf8.size() && !IsAscii(utf8[i]))
      ++i;
    if (i == runStart)
      continue;
    const std::string_view run = utf8.substr(runStart, i - runStart);
    auto converted = convertedRuns.find(run);
    if (converted == convertedRuns.end()) {
      Result<std::string> text = codec.Convert(run);
      if (!text.ok())
        return text.status();
      converted = convertedRuns.emplace(run, std::move(text.value())).first;
    }
    output += converted->second;
  }
  return output;
}

Result<std::string> ShiftJisToUtf8(std::string_view shiftJis) {
  ShiftJisCodec codec(ShiftJisCodec::Direction::kToUtf8);
  if (!codec.available())
    return UnavailableFailure();
  return codec.Convert(shiftJis);
}

}  // namespace kitebar
