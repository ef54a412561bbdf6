#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kitebar {

// A path from UTF-8 text (a name the user typed), alike on every platform:
// Windows would read a plain narrow string in the system's code page.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The UTF-8 text of `path`, for a message: string() would give the system's
// code page on Windows.
inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace kitebar
