#pragma once

#include <atomic>

namespace kitebar::cli {

// As a shell reports a program ended by Ctrl+C.
inline constexpr int kExitInterrupted = 130;

// While it lives, Ctrl+C sets `stopRequested()` instead of ending the program,
// so that a long run can stop cleanly; a second Ctrl+C ends the program as
// usual. Signals on Linux (StopOnInterruptPosix.cpp), the console's control
// handler on Windows (StopOnInterruptWindows.cpp).
class StopOnInterrupt {
 public:
  StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
  ~StopOnInterrupt();

  static const std::atomic<bool>& stopRequested();
};

}  // namespace kitebar::cli
