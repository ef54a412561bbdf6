#include "cli/Output.h"

#include <cstdio>

namespace kitebar::cli {

void PrintLine(std::string_view text) {
  WriteText(stdout, text);
  std::fputc('\n', stdout);
}

void PrintError(std::string_view text) {
  WriteText(stderr, "kitebar-cli: ");
  WriteText(stderr, text);
  std::fputc('\n', stderr);
}

}  // namespace kitebar::cli
