#pragma once

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// Replaces `file` with `bytes` so that a crash or a full disk never leaves half
// a file: the bytes go to a temporary file of this write's own in the same
// folder (created exclusively, so that a planted link is never followed and
// two writers never share one), which is flushed to disk, given the old file's
// permissions and then renamed over the old one. A read-only file, or
// something other than a regular file in its place, is refused before
// anything is written. On failure the old file is untouched and the temporary
// file removed.
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Writes `bytes` at a path that the user chose (save as, print to a file) as
// WriteFileAtomically does. Refused, with nothing written, when the path
// leads to a file of the program: one that it keeps in `workingFolder`,
// however the path is spelt (another spelling, "..", a link, letter case),
// or one of its file names in any folder, which may be another working
// folder's.
Status WriteUserChosenFile(const std::filesystem::path& target, std::string_view bytes,
                           const std::filesystem::path& workingFolder);

// Writes `bytes` as WriteFileAtomically does, but to the name `file` itself:
// whatever has that name, a link planted there included, is replaced, never
// followed. For the program's scratch files, whose names are its own.
Status WriteScratchFile(const std::filesystem::path& file, std::string_view bytes);

// Writes `bytes` as WriteFileAtomically does, under the first of `names` that
// no file has: never in place of an existing file, not even one that appears
// meanwhile. Returns the name written; fails, writing nothing, when every
// name is taken.
Result<std::filesystem::path> WriteNewFileAtomically(std::span<const std::filesystem::path> names,
                                                     std::string_view bytes);

// Renames `replacement`, a complete file in the same folder, over `file` in
// one step, after giving it the permissions of `file` when there is one. A
// replacement that is not a regular file (a link put in its place) is
// refused. On failure `file` is untouched and the message is the reason, in
// the words of DescribeSystemError.
Status RenameOver(const std::filesystem::path& replacement, const std::filesystem::path& file);

// Whether WriteFileAtomically may replace `file`: it is absent, or a regular
// file that is not read-only. An operation that writes several files checks
// them all first, so that a refusal comes before its first write.
Status CheckReplaceable(const std::filesystem::path& file);
Status CheckAllReplaceable(std::initializer_list<std::filesystem::path> files);

// Reads a whole regular file of at most `maxBytes` bytes. Fails, with a
// message naming the file, when it cannot be opened or read, is not a regular
// file (a folder, a named pipe, a device: opened without blocking, never read)
// or is larger than `maxBytes`.
Result<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes);

// The same, but a file that does not exist yet reads as empty.
Result<std::string> ReadFileOrEmpty(const std::filesystem::path& file, std::size_t maxBytes);

// Whether `file` exists and can be read as ReadWholeFile would: a message for a
// file that is not regular or larger than `maxBytes`; absent files pass.
Status CheckReadable(const std::filesystem::path& file, std::size_t maxBytes);

// The reason of a failed file operation (an errno value), in Japanese for the
// usual ones. The failure messages of the functions above end with it.
std::string DescribeSystemError(int error);

}  // namespace kitebar
