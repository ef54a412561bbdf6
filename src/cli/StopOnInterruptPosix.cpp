#include <pthread.h>
#include <signal.h>

#include "cli/StopOnInterrupt.h"

namespace kitebar::cli {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

struct sigaction previousAction {};

extern "C" void RequestStop(int) {
  stopRequested.store(true, std::memory_order_relaxed);
}

}  // namespace

// SIGINT is unblocked, so that a Ctrl+C reaches the run even when the program
// was started with it blocked; the handler resets itself, so that a second
// one ends the program.
StopOnInterrupt::StopOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  ::sigaction(SIGINT, &action, &previousAction);
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
}

StopOnInterrupt::~StopOnInterrupt() {
  ::sigaction(SIGINT, &previousAction, nullptr);
}

const std::atomic<bool>& StopOnInterrupt::stopRequested() {
  return kitebar::cli::stopRequested;
}

}  // namespace kitebar::cli
