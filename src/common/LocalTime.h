#pragma once

#include <ctime>

namespace kitebar {

// `time` in the user's time zone, thread-safely (LocalTimePosix.cpp,
// LocalTimeWindows.cpp).
std::tm LocalTimeOf(std::time_t time);

}  // namespace kitebar
