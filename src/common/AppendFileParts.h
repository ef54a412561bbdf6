#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

// What AppendFile.cpp shares with its platform files (AppendFilePosix.cpp,
// AppendFileWindows.cpp): the messages, each naming the file. Those that say
// what to do go with Cause::kForm; the others leave it to their cause.
namespace kitebar::append_parts {

std::string LinkMessage(const std::filesystem::path& file);
std::string NotRegularMessage(const std::filesystem::path& file);
std::string TooLargeMessage(const std::filesystem::path& file, std::size_t maxBytes);
// Another program has the file open for writing (an editor).
std::string InUseMessage(const std::filesystem::path& file);
std::string CutLastLineMessage(const std::filesystem::path& file);
// "「<file>」<what>（<reason>）".
std::string Failure(const std::filesystem::path& file, std::string_view what,
                    std::string_view reason);

// AppendLinesDurably without the folder's lock: each platform's append.
Status AppendWhole(const std::filesystem::path& file, std::string_view lines, std::size_t maxBytes);

}  // namespace kitebar::append_parts
