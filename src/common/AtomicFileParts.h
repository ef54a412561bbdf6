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
// "「<file>」<what>（<reason>）" with the cause of the system's `error`.
Status SystemFailure(std::string_view what, const std::filesystem::path& file, int error);
Status NotRegularFailure(const std::filesystem::path& file, std::string_view what);
Status TooLargeFailure(const std::filesystem::path& file, std::size_t maxBytes);
Status ReadOnlyFailure(const std::filesystem::path& file);
// Another program has the file open: "「<file>」はほかのプログラムが使っているため、<what>".
Status InUseFailure(const std::filesystem::path& file, std::string_view what);
// For WriteNewFileAtomically: all `count` names from `first` on are taken.
Status AllNamesTakenFailure(const std::filesystem::path& first, std::size_t count);

Status LinkTargetMissingFailure(const std::filesystem::path& file);
// A program file that would grow past what its reader accepts.
Status OverLimitFailure(const std::filesystem::path& file, std::size_t maxBytes);

inline constexpr int kTemporaryNameAttempts = 100;

// Whether a write of a symbolic link writes its target (the program's own
// files, which a user may keep elsewhere) or replaces the link itself (a
// scratch file, whose name nobody else may use).
enum class Links { kFollow, kReplace };

// WriteFileAtomically without the door's checks: each platform's write.
Status ReplaceWhole(const std::filesystem::path& file, std::string_view bytes,
                    Links links = Links::kFollow);

// The temporary file beside `target` (the file `shown`, or where its link
// leads) cannot be created: names the folder where it was to be.
Status TemporaryFileFailure(const std::filesystem::path& target, const std::filesystem::path& shown,
                            int error);
// RenameOver refuses to move anything but a regular file into a file's place.
Status ReplacementNotRegularFailure(const std::filesystem::path& replacement);

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
