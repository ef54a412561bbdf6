#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include "cli/StandardInput.h"
#include "common/AtomicFile.h"

namespace kitebar::cli {

// In text mode the C library would turn CR LF into LF and stop at the first
// Ctrl+Z; the reader takes the bytes as they are.
Result<std::string> ReadStandardInput(std::size_t maxBytes) {
  _setmode(_fileno(stdin), _O_BINARY);
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
    if (bytes.size() + got > maxBytes)
      return StandardInputTooLarge(maxBytes);
    bytes.append(buffer, got);
    if (got < sizeof buffer) {
      if (std::ferror(stdin))
        return Status::Failure("標準入力を読めません（" + DescribeSystemError(errno) + "）。");
      return bytes;
    }
  }
}

}  // namespace kitebar::cli
