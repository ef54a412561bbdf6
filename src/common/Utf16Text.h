#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kitebar {

// The UTF-16 code units of `bytes` (little or big endian, without a
// byte-order mark) as UTF-8; none when they are not whole characters (an odd
// byte, a lone surrogate).
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace kitebar
