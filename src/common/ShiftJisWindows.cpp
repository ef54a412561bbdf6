#include <windows.h>

#include <optional>
#include <string>

#include "common/ShiftJisCodec.h"

namespace kitebar {
namespace {

constexpr UINT kShiftJisCodePage = 932;

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
  std::optional<std::string> converted = FromWide(toShiftJis ? kShiftJisCodePage : CP_UTF8, *wide);
  if (!converted)
    return UnconvertibleTextFailure();
  return std::move(*converted);
}

}  // namespace kitebar
