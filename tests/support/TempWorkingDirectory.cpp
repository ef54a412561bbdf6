#include "support/TempWorkingDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace kitebar::test {

TempWorkingDirectory::TempWorkingDirectory() : previous_(std::filesystem::current_path()) {
  // A fresh name of our own: create_directory reports a folder that was there.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("kitebar-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error))
      path_ = std::move(candidate);
  }
  if (path_.empty()) {
    ADD_FAILURE() << "cannot create a temporary folder";
    return;
  }
  std::filesystem::current_path(path_);
}

TempWorkingDirectory::~TempWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  if (!path_.empty()) {
    // A test may leave read-only folders behind; make them removable first.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntryNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("."))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> FolderContents() {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator("."))
    files[entry.path().filename().string()] = ReadFileBytes(entry.path());
  return files;
}

std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace kitebar::test
