#include "app/PaintingSocketApi.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>

namespace kitebar::app {
namespace {

// Short enough that the window repaints without visible delay, and that
// timers keep their pace: on Windows the events are taken only between the
// slices, since processing them does not wait for the next timer.
constexpr int kSliceMilliseconds = 20;

}  // namespace

int PaintingSocketApi::Poll(int fd, short events, int timeoutMilliseconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int slice = static_cast<int>(std::clamp<long long>(left, 0, kSliceMilliseconds));
    const int ready = SocketApi::Poll(fd, events, slice);
    if (ready != 0 || left <= kSliceMilliseconds)
      return ready;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSliceMilliseconds);
  }
}

}  // namespace kitebar::app
