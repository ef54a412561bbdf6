#include <io.h>
#include <windows.h>

#include <string>

#include "cli/Output.h"

namespace kitebar::cli {
namespace {

std::wstring Utf16Of(std::string_view text) {
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

void WriteToConsole(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    if (::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ==
            0 ||
        written == 0)
      return;
    text.remove_prefix(written);
  }
}

}  // namespace

// NUL is a character device too, but has no console mode.
bool IsConsoleHandle(void* handle) {
  DWORD mode = 0;
  return ::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode) != 0;
}

void WriteText(std::FILE* stream, std::string_view text) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  if (!IsConsoleHandle(handle)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  // What the stream still holds goes first.
  std::fflush(stream);
  WriteToConsole(handle, Utf16Of(text));
}

}  // namespace kitebar::cli
