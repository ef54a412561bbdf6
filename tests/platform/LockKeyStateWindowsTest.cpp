#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "app/LockKeyState.h"

namespace kitebar::app {
namespace {

// Each lock key reads the toggle of its own key, whatever the others show.
struct Toggle {
  const char* name;
  LockKey key;
  int virtualKey;
};

class LockKeyStateWindows : public testing::TestWithParam<Toggle> {};

TEST_P(LockKeyStateWindows, ReadsTheToggleOfItsKey) {
  std::array<BYTE, 256> saved{};
  ASSERT_NE(::GetKeyboardState(saved.data()), 0);
  for (bool on : {true, false}) {
    std::array<BYTE, 256> state{};
    // Every other lock key the other way round.
    for (int other : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, VK_KANA})
      state[static_cast<std::size_t>(other)] = on ? 0 : 1;
    state[static_cast<std::size_t>(GetParam().virtualKey)] = on ? 1 : 0;
    ASSERT_NE(::SetKeyboardState(state.data()), 0);
    EXPECT_EQ(QueryLockKeyState(GetParam().key), std::optional<bool>(on));
  }
  ::SetKeyboardState(saved.data());
}

INSTANTIATE_TEST_SUITE_P(Keys, LockKeyStateWindows,
                         testing::Values(Toggle{"CapsLock", LockKey::kCaps, VK_CAPITAL},
                                         Toggle{"NumLock", LockKey::kNum, VK_NUMLOCK},
                                         Toggle{"ScrollLock", LockKey::kScroll, VK_SCROLL}),
                         [](const testing::TestParamInfo<Toggle>& info) {
                           return info.param.name;
                         });

// The kana lock exists only on a Japanese keyboard; elsewhere it is unknown.
TEST(LockKeyStateWindowsKana, IsUnknownWithoutAJapaneseKeyboard) {
  if (::GetKeyboardType(0) == 7)
    GTEST_SKIP() << "a Japanese keyboard";
  EXPECT_EQ(QueryLockKeyState(LockKey::kKana), std::nullopt);
}

}  // namespace
}  // namespace kitebar::app
