#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/ShiftJisCodec.h"

namespace kitebar {
namespace {

constexpr UINT kShiftJisCodePage = 932;

// Where the two tables of code page 932 differ, the program follows iconv's,
// so that a page is the same on both platforms. iconv also gives these
// characters (the JIS forms of a few signs) the code of their look-alike...
struct IconvCode {
  wchar_t character;
  std::string_view bytes;
};
constexpr IconvCode kIconvOnlyCodes[] = {
    {0x00A2, "\x81\x91"}, {0x00A3, "\x81\x92"}, {0x00A5, "\x5C"},
    {0x00AC, "\x81\xCA"}, {0x2014, "\x81\x5C"}, {0x2016, "\x81\x61"},
    {0x203E, "\x7E"},     {0x2212, "\x81\x7C"}, {0x301C, "\x81\x60"},
};

// ...and leaves undefined the bytes 0x80, 0xA0 and 0xFD to 0xFF, which
// Windows maps to U+0080 and to private-use characters.
bool IsWindowsOnly(wchar_t character) {
  return character == 0x0080 || (character >= 0xF8F0 && character <= 0xF8F3);
}

const IconvCode* IconvOnlyCode(wchar_t character) {
  for (const IconvCode& code : kIconvOnlyCodes) {
    if (code.character == character)
      return &code;
  }
  return nullptr;
}

// The text as UTF-16, or nothing when it is not valid in `codePage`.
std::optional<std::wstring> ToWide(UINT codePage, std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0)
    return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                            length) != length)
    return std::nullopt;
  return wide;
}

// The UTF-16 text in `codePage`, or nothing when a character has no code
// there. Code page 932 gets no "best fit": a character without its own code
// fails, as with iconv, instead of turning into a look-alike.
std::optional<std::string> FromWide(UINT codePage, std::wstring_view wide) {
  const int size = static_cast<int>(wide.size());
  const bool toUtf8 = codePage == CP_UTF8;
  const DWORD flags = toUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = toUtf8 ? nullptr : &usedDefault;
  const int length = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                           usedDefaultOut);
  if (length <= 0 || usedDefault)
    return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (::WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                            usedDefaultOut) != length ||
      usedDefault)
    return std::nullopt;
  return bytes;
}

}  // namespace

ShiftJisCodec::ShiftJisCodec(Direction direction) : direction_(direction) {}

ShiftJisCodec::~ShiftJisCodec() = default;

bool ShiftJisCodec::available() const {
  return ::IsValidCodePage(kShiftJisCodePage) != 0;
}

Result<std::string> ShiftJisCodec::Convert(std::string_view text) {
  if (text.empty())
    return std::string();
  const bool toShiftJis = direction_ == Direction::kToShiftJis;
  const std::optional<std::wstring> wide = ToWide(toShiftJis ? CP_UTF8 : kShiftJisCodePage, text);
  if (!wide)
    return UnconvertibleTextFailure();
  if (!toShiftJis) {
    if (wide->find_first_of(L"\u0080\uF8F0\uF8F1\uF8F2\uF8F3") != std::wstring::npos)
      return UnconvertibleTextFailure();
    std::optional<std::string> utf8 = FromWide(CP_UTF8, *wide);
    if (!utf8)
      return UnconvertibleTextFailure();
    return std::move(*utf8);
  }
  // The text between the characters that iconv codes otherwise goes through
  // Windows in one piece.
  std::string bytes;
  std::wstring_view rest = *wide;
  while (!rest.empty()) {
    std::size_t plain = 0;
    while (plain < rest.size() && !IsWindowsOnly(rest[plain]) && !IconvOnlyCode(rest[plain]))
      ++plain;
    if (plain > 0) {
      const std::optional<std::string> piece = FromWide(kShiftJisCodePage, rest.substr(0, plain));
      if (!piece)
        return UnconvertibleTextFailure();
      bytes += *piece;
      rest.remove_prefix(plain);
      continue;
    }
    const IconvCode* code = IconvOnlyCode(rest.front());
    if (code == nullptr)
      return UnconvertibleTextFailure();
    bytes += code->bytes;
    rest.remove_prefix(1);
  }
  return bytes;
}

}  // namespace kitebar
