#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// Replaces `file` with `bytes` so that a crash or a full disk never leaves half
// a file: the bytes go to a temporary file in the same folder, which is flushed
// to disk and then renamed over the old one. On failure the old file is
// untouched and the temporary file removed.
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Reads a whole file; fails when it cannot be opened or read.
Result<std::string> ReadWholeFile(const std::filesystem::path& file);

// The same, but a file that does not exist yet reads as empty.
Result<std::string> ReadFileOrEmpty(const std::filesystem::path& file);

// The reason of a failed file operation (an errno value), in Japanese for the
// usual ones. The failure messages of the two functions above end with it.
std::string DescribeSystemError(int error);

}  // namespace kitebar
