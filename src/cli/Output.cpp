#include "cli/Output.h"

#include <cstdio>

namespace kitebar::cli {

void PrintLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintError(std::string_view text) {
  std::fwrite("kitebar-cli: ", 1, 13, stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace kitebar::cli
