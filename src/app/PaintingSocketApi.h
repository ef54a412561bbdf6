#pragma once

#include "history/SocketApi.h"

namespace kitebar::app {

// The system calls of the import's HTTP client, with every wait for the
// network cut into short slices between which the event loop runs: a slow or
// silent result site never freezes the window. Used inside a BusyState, which
// drops the user's input meanwhile.
class PaintingSocketApi final : public SocketApi {
 public:
  int Poll(int fd, short events, int timeoutMilliseconds) override;
};

}  // namespace kitebar::app
