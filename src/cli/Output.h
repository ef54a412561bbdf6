#pragma once

#include <cstdio>
#include <string_view>

namespace kitebar::cli {

// stdout for results, stderr for the one-line failure message.
void PrintLine(std::string_view text);
void PrintError(std::string_view text);

// Writes UTF-8 `text` to `stream` (stdout or stderr). Files and pipes get the
// bytes themselves; a Windows console gets the characters, whole, through its
// UTF-16 interface (OutputWindows.cpp): handed the bytes, it may receive them
// one at a time and show each part of a character as a character of its own.
void WriteText(std::FILE* stream, std::string_view text);

#ifdef _WIN32
// Whether `handle` is a console, rather than a file, a pipe or a device such
// as NUL: the choice between characters and bytes.
bool IsConsoleHandle(void* handle);
#endif

}  // namespace kitebar::cli
