#include "support/FileSizeLimit.h"

namespace kitebar::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  // Without this the write beyond the limit would end the process.
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  ::getrlimit(RLIMIT_FSIZE, &previous_);
  rlimit limited = previous_;
  limited.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &previous_);
  std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace kitebar::test
