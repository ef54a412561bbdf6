#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kitebar::test {

// Makes a fresh empty folder the working directory for the lifetime of the
// object and removes it afterwards: the program's files have fixed names in
// the working directory.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory();
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;
  ~TempWorkingDirectory();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Whole-file helpers for checking what the program wrote, byte for byte.
std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);

// The names of the working folder's entries, sorted.
std::vector<std::string> FolderEntryNames();
// Every file of the working folder with its bytes.
std::map<std::string, std::string> FolderContents();
// The lines of a program's output, without their '\n'.
std::vector<std::string> OutputLines(const std::string& text);

}  // namespace kitebar::test
