#include <unistd.h>

#include <cerrno>

#include "cli/StandardInput.h"
#include "common/AtomicFile.h"

namespace kitebar::cli {

Result<std::string> ReadStandardInput(std::size_t maxBytes) {
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return Status::Failure("標準入力を読めません（" + DescribeSystemError(errno) + "）。");
    if (got == 0)
      return bytes;
    if (bytes.size() + static_cast<std::size_t>(got) > maxBytes)
      return StandardInputTooLarge(maxBytes);
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace kitebar::cli
