// Holds the write lock of the current folder from another process, for the
// tests' LockHolder on Windows: takes it, says so with one byte on stdout,
// and lets it go when stdin ends (the test closed its end, or ended).
#include <cstdio>

#include "common/FolderLock.h"

int main() {
  const kitebar::Result<kitebar::FolderLock> lock = kitebar::FolderLock::Acquire(".");
  if (!lock.ok())
    return 1;
  std::fputc('x', stdout);
  std::fflush(stdout);
  while (std::fgetc(stdin) != EOF) {
  }
  return 0;
}
