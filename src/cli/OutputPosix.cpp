#include "cli/Output.h"

namespace kitebar::cli {

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace kitebar::cli
