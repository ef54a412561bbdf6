#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The files that only ever grow: each addition is whole lines at the end,
// and nothing is ever rewritten or cut.

// The page of the file system's cache: a write that stays within one is
// never cut by a kill (the kernel copies a write page by page and stops
// between pages only).
inline constexpr std::size_t kAppendPageBytes = 4096;

// The bytes that go to the end of a file of `fileSize` bytes to add `lines`
// (whole lines, each ending in '\n' and at most kAppendPageBytes long): the
// lines, with a line of blanks ending exactly at a page boundary before any
// line that would otherwise cross one. Readers pass over lines of blanks.
std::string PageAlignedLines(std::size_t fileSize, std::string_view lines);

// Adds `lines` (as PageAlignedLines lays them out) to the end of `file`,
// creating it when it does not exist, and flushes them to the disk before
// it returns, under the folder's lock (which the caller, having read the
// file under it, holds already). A kill leaves the file as
// it was or with some of the lines added, each one whole; a failure (a full
// disk) leaves it as it was. Refused, with a message naming the file and
// nothing written, when `file` is a symbolic link, a folder, a named pipe or
// anything else than a regular file, when it does not end with a line end
// (its last line was cut), or when it would grow beyond `maxBytes`.
Status AppendLinesDurably(const std::filesystem::path& file, std::string_view lines,
                          std::size_t maxBytes);

// Reads the whole of such a file, refused as above when it is not a regular
// file of at most `maxBytes` bytes (a link is not followed). A file that
// does not exist reads as empty.
Result<std::string> ReadAppendedFile(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace kitebar
