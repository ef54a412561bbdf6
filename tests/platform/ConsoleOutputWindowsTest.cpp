#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Output.h"
#include "support/TempWorkingDirectory.h"

// kitebar-cli's output: characters for a console, the UTF-8 bytes for
// everything else, chosen by what the handle is.
namespace kitebar::cli {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;

constexpr char kText[] = "第 7088 回 当選番号 123";

// The console of this process, made when the tests run without one (under
// ctest the standard handles are pipes, and Wine may have given the process
// a console of no use).
HANDLE OpenConsole() {
  const auto open = [] {
    return ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  HANDLE console = open();
  if (console == INVALID_HANDLE_VALUE) {
    ::FreeConsole();
    if (::AllocConsole() != 0)
      console = open();
  }
  return console;
}

// Wine makes a working console only where it has a display (scripts/test-windows.sh
// runs the suites under Xvfb); Windows always can.
bool ConsoleWorks(HANDLE console) {
  CONSOLE_SCREEN_BUFFER_INFO screen{};
  return ::GetConsoleScreenBufferInfo(console, &screen) != 0;
}

struct HandleKind {
  const char* name;
  HANDLE (*open)();
  bool console;
};

class ConsoleOutputChoice : public testing::TestWithParam<HandleKind> {};

TEST_P(ConsoleOutputChoice, TakesCharactersOnlyOnAConsole) {
  TempWorkingDirectory folder;
  const HANDLE handle = GetParam().open();
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  if (GetParam().console && !ConsoleWorks(handle)) {
    ::CloseHandle(handle);
    GTEST_SKIP() << "no working console without a display under Wine";
  }
  EXPECT_EQ(IsConsoleHandle(handle), GetParam().console);
  ::CloseHandle(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, ConsoleOutputChoice,
    testing::Values(HandleKind{"File",
                               [] {
                                 return ::CreateFileW(L"out.txt", GENERIC_WRITE, 0, nullptr,
                                                      CREATE_ALWAYS, 0, nullptr);
                               },
                               false},
                    HandleKind{"Pipe",
                               [] {
                                 HANDLE read = INVALID_HANDLE_VALUE;
                                 HANDLE write = INVALID_HANDLE_VALUE;
                                 if (::CreatePipe(&read, &write, nullptr, 0) == 0)
                                   return INVALID_HANDLE_VALUE;
                                 ::CloseHandle(read);
                                 return write;
                               },
                               false},
                    // A character device, as a console is, but without its mode.
                    HandleKind{"NulDevice",
                               [] {
                                 return ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE,
                                                      nullptr, OPEN_EXISTING, 0, nullptr);
                               },
                               false},
                    HandleKind{"Console", OpenConsole, true}),
    [](const testing::TestParamInfo<HandleKind>& info) { return info.param.name; });

using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

TEST(ConsoleOutput, AFileGetsTheUtf8BytesUnchanged) {
  TempWorkingDirectory folder;
  {
    const File file(std::fopen("out.txt", "wb"), &std::fclose);
    ASSERT_NE(file, nullptr);
    WriteText(file.get(), kText);
  }
  EXPECT_EQ(ReadFileBytes("out.txt"), kText);
}

// Read back from the screen: each character whole, none split into the
// bytes of its UTF-8 form.
TEST(ConsoleOutput, AConsoleShowsEveryCharacterWhole) {
  const HANDLE console = OpenConsole();
  ASSERT_NE(console, INVALID_HANDLE_VALUE);
  if (!ConsoleWorks(console)) {
    ::CloseHandle(console);
    GTEST_SKIP() << "no working console without a display under Wine";
  }
  CONSOLE_SCREEN_BUFFER_INFO before{};
  ASSERT_NE(::GetConsoleScreenBufferInfo(console, &before), 0);
  // Read access too, as a console handle of the standard output has.
  const File stream(::_wfopen(L"CONOUT$", L"w+b"), &std::fclose);
  ASSERT_NE(stream, nullptr);
  WriteText(stream.get(), kText);
  const std::wstring expected = L"第 7088 回 当選番号 123";
  std::wstring shown(expected.size(), L'\0');
  DWORD read = 0;
  ASSERT_NE(::ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(shown.size()),
                                          before.dwCursorPosition, &read),
            0);
  ::CloseHandle(console);
  shown.resize(read);
  EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace kitebar::cli
