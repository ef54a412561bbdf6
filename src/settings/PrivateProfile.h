#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// The two private-profile operations on INI files. Section and key names match
// without regard to ASCII case; blanks around names and values are not part of
// them; lines may end in CR LF, a bare LF or a bare CR. A UTF-8 byte order
// mark at the start (Notepad's "UTF-8 (BOM 付き)") is read past and kept by
// the writers. A UTF-16 file reads as a missing one and is never written.

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

// One line of an INI file: its text without the line end, and the line end
// as found.
struct ProfileLine {
  std::string_view text;
  std::string_view ending;
};

// A file read once for several keys: each Read gives what ReadProfileString
// would give for the file as it stood when it was read. A run that reads a
// dozen keys of one file thus reads and splits the file once, still afresh
// for the run. Not copied or moved: its lines point into its own text.
class ProfileSnapshot {
 public:
  explicit ProfileSnapshot(const std::filesystem::path& file);
  ProfileSnapshot(const ProfileSnapshot&) = delete;
  ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

  std::string Read(std::string_view section, std::string_view key, std::string_view defaultText,
                   std::size_t capacity) const;

 private:
  std::optional<std::string> contents_;  // none when the file could not be read
  std::vector<ProfileLine> lines_;
};

// Sets `key` in `section` to `value`: creates the file, appends a missing
// section at the end of the file and a missing key at the end of its section,
// or replaces the value in its line; every other line stays as it was. The
// file is replaced atomically.
Status WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::filesystem::path& file);

// A settings file in UTF-16 (Notepad's "UTF-16 LE"), which the readers take
// for a missing one: a failure that names it and says how to save it again.
// A missing or unreadable file passes (the size and kind checks are
// elsewhere).
Status CheckProfileEncoding(const std::filesystem::path& file);

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// Sets the keys of `entries` in their order, each as WritePrivateProfileString
// does, with one replacement of the file: after a failure or a crash the file
// holds all of the new values or none of them.
Status WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries,
                                  const std::filesystem::path& file);

}  // namespace kitebar
