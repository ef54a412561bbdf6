#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kitebar::test {

// A name for one case of a parameterised test, so that the test list and a
// failure say which case it is: the letters and digits of `description`, every
// other run of characters as one '_' (a minus sign before a digit as "minus"),
// at most 48 characters, then '_' and the case's index, which keeps the names
// of cases with similar descriptions apart. An empty description gives
// "Empty", one without letters or digits "Symbols".
std::string CaseName(std::string_view description, std::size_t index);

}  // namespace kitebar::test
