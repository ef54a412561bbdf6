#pragma once

#include <sys/resource.h>

#include <csignal>

namespace kitebar::test {

// Makes every write of this process beyond `bytes` into a file fail (EFBIG),
// as a nearly full disk would, for the lifetime of the object: a write of a
// small file succeeds while that of a larger one fails part way.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit();

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

}  // namespace kitebar::test
