#pragma once

#include <memory>
#include <string>

namespace kitebar::test {

// The history file of draws 1 to `last`, draw n with winning number 7n mod
// 1000, as the program writes it.
std::string HistoryUpTo(int last);

// History lines of draws `first` to `last`, draw n with winning number n mod
// 1000: each line tells its own draw.
std::string DrawLines(int first, int last);

// Another process holding the working folder's write lock for the lifetime of
// the object, as a second Kitebar in the middle of a write would
// (FolderFixturesPosix.cpp: a forked child; FolderFixturesWindows.cpp: the
// program kitebar_lock_holder.exe beside the test).
class LockHolder {
 public:
  LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  ~LockHolder();

 private:
  struct Process;
  std::unique_ptr<Process> process_;
};

}  // namespace kitebar::test
