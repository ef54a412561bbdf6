#pragma once

#include "reports/PageOpener.h"

namespace kitebar {

// Opens a page in the user's browser through the Windows shell (the program
// registered for .html files), without waiting for it.
class ShellPageOpener final : public PageOpener {
 public:
  // Fails when the shell finds no program for the page, or no page.
  Status Open(const std::filesystem::path& page) override;
};

}  // namespace kitebar
