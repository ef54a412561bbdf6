#include <windows.h>

#include "app/LockKeyState.h"

namespace kitebar::app {
namespace {

// GetKeyboardType(0) of a Japanese keyboard, the only kind with a kana key.
constexpr int kJapaneseKeyboard = 7;

// The low bit of a toggle key's state is its lock.
bool IsToggledOn(int virtualKey) {
  return (::GetKeyState(virtualKey) & 1) != 0;
}

}  // namespace

std::optional<bool> QueryLockKeyState(LockKey key) {
  switch (key) {
    case LockKey::kKana:
      if (::GetKeyboardType(0) != kJapaneseKeyboard)
        return std::nullopt;
      return IsToggledOn(VK_KANA);
    case LockKey::kCaps:
      return IsToggledOn(VK_CAPITAL);
    case LockKey::kNum:
      return IsToggledOn(VK_NUMLOCK);
    case LockKey::kScroll:
      return IsToggledOn(VK_SCROLL);
  }
  return std::nullopt;
}

}  // namespace kitebar::app
