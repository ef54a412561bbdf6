#pragma once

#include <optional>

namespace kitebar::app {

enum class LockKey { kKana, kCaps, kNum, kScroll };

// Whether the lock key is on, as the window system reports it; nothing when
// the platform does not tell (the offscreen platform, or no such indicator).
std::optional<bool> QueryLockKeyState(LockKey key);

}  // namespace kitebar::app
