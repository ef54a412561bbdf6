#pragma once

#include <string_view>

namespace kitebar::cli {

// stdout for results, stderr for the one-line failure message.
void PrintLine(std::string_view text);
void PrintError(std::string_view text);

}  // namespace kitebar::cli
