#pragma once

#include <filesystem>

#include "common/Status.h"

namespace kitebar {

// Hands a written page to the user's browser. The desktop program opens it
// with the platform's default handler, the command line with xdg-open, and
// tests replace it with a hook that records the page.
class PageOpener {
 public:
  virtual ~PageOpener() = default;
  virtual Status Open(const std::filesystem::path& page) = 0;
};

}  // namespace kitebar
