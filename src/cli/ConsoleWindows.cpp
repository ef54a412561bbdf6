#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "cli/Console.h"

namespace kitebar::cli {
namespace {

std::string Utf8Of(const wchar_t* wide) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1)
    return std::string();
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.pop_back();  // the terminator
  return text;
}

// The arguments as the user typed them, whatever the system's code page: the
// narrow argv would have lost every character outside it.
std::vector<std::string> WideArguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(
      ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
  if (!wide)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(Utf8Of(wide.get()[i]));
  return arguments;
}

// Lets the console draw the progress bar's escape sequences.
void EnableEscapeSequences(DWORD stream) {
  const HANDLE console = ::GetStdHandle(stream);
  DWORD mode = 0;
  if (::GetConsoleMode(console, &mode) != 0)
    ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

ConsoleSession::ConsoleSession(int argc, char** argv) {
  SetArguments(WideArguments(argc, argv));
  // Files and pipes get the bytes of the Linux build, LF line ends included.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  // 0 without a console, when the output goes to files or pipes only.
  previousCodePage_ = ::GetConsoleOutputCP();
  if (previousCodePage_ != 0 && previousCodePage_ != CP_UTF8)
    ::SetConsoleOutputCP(CP_UTF8);
  EnableEscapeSequences(STD_ERROR_HANDLE);
}

// The console goes back to the code page its other programs expect.
ConsoleSession::~ConsoleSession() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (previousCodePage_ != 0 && previousCodePage_ != CP_UTF8)
    ::SetConsoleOutputCP(previousCodePage_);
}

}  // namespace kitebar::cli
