#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

// What AtomicFile.cpp shares with its platform files (AtomicFilePosix.cpp,
// AtomicFileWindows.cpp): the messages, the temporary names, and the read
// that each platform implements.
namespace kitebar::file_parts {

std::string Quoted(const std::filesystem::path& file);
// "「<file>」<what>（<reason>）".
std::string Failure(std::string_view what, const std::filesystem::path& file,
                    std::string_view reason);
std::string NotRegularMessage(const std::filesystem::path& file, std::string_view what);
std::string TooLargeMessage(const std::filesystem::path& file, std::size_t maxBytes);
std::string ReadOnlyMessage(const std::filesystem::path& file);
// Another program has the file open: "「<file>」はほかのプログラムが使っているため、<what>。…".
std::string InUseMessage(const std::filesystem::path& file, std::string_view what);

inline constexpr int kTemporaryNameAttempts = 100;

// A name beside `file` that no other write uses: the process, a counter and
// random bits.
std::filesystem::path TemporaryName(const std::filesystem::path& file, std::uint64_t process);

// Reads a regular file of at most `maxBytes` bytes without blocking on a
// named pipe or a device; a missing file reads as empty when `missingIsEmpty`.
Result<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                    bool missingIsEmpty);

}  // namespace kitebar::file_parts
