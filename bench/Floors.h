#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The least work the machine must do for the operations under test, done
// with plain system calls and none of the program's own code: the floors that
// the table compares each operation with.
namespace kitebar::plain {

// Reads the whole file into `buffer`, which must be large enough to hold it.
// Returns the number of bytes read, or -1.
long ReadFile(const char* path, std::span<char> buffer);

// What a durable replacement needs at the least: a temporary file written in
// one call, fdatasync, close, rename over `path`.
bool RewriteDurably(const char* path, std::string_view bytes);

// What a durable append needs at the least: open for appending, one write,
// fdatasync, close.
bool AppendDurably(const char* path, std::string_view bytes);

// Starts `argv` in the working directory with its output going to /dev/null
// and waits for it; true when it exits with status 0.
bool RunProcess(const std::vector<std::string>& argv);

}  // namespace kitebar::plain
