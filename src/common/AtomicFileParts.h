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
// For WriteNewFileAtomically: all `count` names from `first` on are taken.
std::string AllNamesTakenMessage(const std::filesystem::path& first, std::size_t count);

std::string LinkTargetMissingMessage(const std::filesystem::path& file);

inline constexpr int kTemporaryNameAttempts = 100;

// The file that a write of `file` replaces: `file` itself, or for a symbolic
// link the file it finally names, so that the link stays and its target (a
// history kept in a synced folder, say) gets the update. A link to nothing
// is refused.
Result<std::filesystem::path> WriteTarget(const std::filesystem::path& file);

// RenameOver for a `file` that is a symbolic link: the target may be in
// another folder or on another disk, so `replacement` is copied over it as
// WriteFileAtomically writes, and then removed.
Status CopyOverLinkTarget(const std::filesystem::path& replacement,
                          const std::filesystem::path& file);

// A name beside `file` that no other write uses: the process, a counter and
// random bits.
std::filesystem::path TemporaryName(const std::filesystem::path& file, std::uint64_t process);

// Reads a regular file of at most `maxBytes` bytes without blocking on a
// named pipe or a device; a missing file reads as empty when `missingIsEmpty`.
Result<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                    bool missingIsEmpty);

}  // namespace kitebar::file_parts
