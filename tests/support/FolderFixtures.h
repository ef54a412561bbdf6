#pragma once

#include <sys/types.h>

#include <string>

namespace kitebar::test {

// The history file of draws 1 to `last`, draw n with winning number 7n mod
// 1000, as the program writes it.
std::string HistoryUpTo(int last);

// Another process holding the working folder's write lock for the lifetime of
// the object, as a second Kitebar in the middle of a write would.
class LockHolder {
 public:
  LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  ~LockHolder();

 private:
  pid_t holder_ = -1;
};

}  // namespace kitebar::test
