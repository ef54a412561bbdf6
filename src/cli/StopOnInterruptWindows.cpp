#include <windows.h>

#include "cli/StopOnInterrupt.h"

namespace kitebar::cli {
namespace {

std::atomic<bool> stopRequested{false};

// The first Ctrl+C or Ctrl+Break asks the run to stop; a later one is left to
// the default handler, which ends the program.
BOOL WINAPI RequestStop(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    return FALSE;
  return stopRequested.exchange(true) ? FALSE : TRUE;
}

}  // namespace

StopOnInterrupt::StopOnInterrupt() {
  ::SetConsoleCtrlHandler(RequestStop, TRUE);
}

StopOnInterrupt::~StopOnInterrupt() {
  ::SetConsoleCtrlHandler(RequestStop, FALSE);
}

const std::atomic<bool>& StopOnInterrupt::stopRequested() {
  return kitebar::cli::stopRequested;
}

}  // namespace kitebar::cli
