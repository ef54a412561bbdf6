#include "common/ShiftJis.h"

#include <iconv.h>

#include <cerrno>
#include <unordered_map>

namespace kitebar {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (valid())
      ::iconv_close(handle_);
  }
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  Result<std::string> Convert(std::string_view input) {
    std::string output;
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* out = output.data() + produced;
      std::size_t outLeft = output.size() - produced;
      const std::size_t result = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
      produced = output.size() - outLeft;
      if (result != static_cast<std::size_t>(-1))
        break;
      if (errno != E2BIG)
        return Status::Failure("Shift_JIS と UTF-8 の間で変換できない文字があります。");
      output.resize(output.size() * 2);
    }
    output.resize(produced);
    return output;
  }

 private:
  iconv_t handle_;
};

Status UnavailableFailure() {
  return Status::Failure(
      "Shift_JIS（CP932）の文字コード変換を使えません。glibc の変換モジュール（gconv）が"
      "入っているか確かめてください。");
}

Result<std::string> Convert(const char* to, const char* from, std::string_view input) {
  Converter converter(to, from);
  if (!converter.valid())
    return UnavailableFailure();
  return converter.Convert(input);
}

bool IsAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

}  // namespace

Result<std::string> Utf8ToShiftJis(std::string_view utf8) {
  // Pages are mostly ASCII, which code page 932 keeps byte for byte and which
  // never occurs inside a UTF-8 sequence; a page of 10,000 rows repeats the
  // same few Japanese words. So ASCII is copied, and each distinct run of
  // other characters is converted once.
  Converter converter("CP932", "UTF-8");
  if (!converter.valid())
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
      Result<std::string> text = converter.Convert(run);
      if (!text.ok())
        return text.status();
      converted = convertedRuns.emplace(run, std::move(text.value())).first;
    }
    output += converted->second;
  }
  return output;
}

Result<std::string> ShiftJisToUtf8(std::string_view shiftJis) {
  return Convert("UTF-8", "CP932", shiftJis);
}

}  // namespace kitebar
