#pragma once

// Helpers shared by the fuzz targets: a check that stops the run (so that
// libFuzzer reports the input), and a private scratch folder as the working
// directory, for the readers that take a file.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace kitebar::fuzz {

inline void Require(bool condition) {
  if (!condition)
    std::abort();
}

// Where the scratch folder goes: memory-backed when the system has such a
// folder, since every atomic write waits for the disk otherwise.
inline std::filesystem::path ScratchParent() {
  std::error_code error;
  if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

// A file in a fresh scratch folder, made once per process and removed at a
// normal exit. (The working directory stays as it is: libFuzzer reads its
// corpus folders by relative names.)
inline std::filesystem::path ScratchFile(std::string_view name) {
  static const std::filesystem::path folder = [] {
    std::string pattern = (ScratchParent() / "kitebar-fuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder / name;
}

inline void WriteScratchFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Require(out.good());
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace kitebar::fuzz
