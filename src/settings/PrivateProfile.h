#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The two private-profile operations on INI files. Section and key names match
// without regard to ASCII case; blanks around names and values are not part of
// them; lines may end in CR LF or a bare LF.

// Copies the value of `key` in `section` into `buffer`, or `defaultText` when
// the file, the section or the key is missing, cut to buffer.size() - 1
// characters and terminated. Returns the number of characters copied, without
// the terminator (0 for an empty buffer).
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::span<char> buffer,
                                    const std::filesystem::path& file);

// The same, returning the text read with a buffer of `capacity` characters.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultText,
                              std::size_t capacity);

// Sets `key` in `section` to `value`: creates the file, appends a missing
// section at the end of the file and a missing key at the end of its section,
// or replaces the value in its line; every other line stays as it was. The
// file is replaced atomically.
Status WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::filesystem::path& file);

}  // namespace kitebar
