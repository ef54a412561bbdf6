// Holds the write lock of a folder from another process, for the Windows
// lock test: takes it, creates "held" in the folder, and lets it go once
// "release" appears there (or after 20 seconds, so that it never lingers).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/FolderLock.h"

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  const std::filesystem::path folder = argv[1];
  const kitebar::Result<kitebar::FolderLock> lock = kitebar::FolderLock::Acquire(folder);
  if (!lock.ok())
    return 1;
  std::ofstream(folder / "held").put('x');
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(folder / "release") &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return 0;
}
