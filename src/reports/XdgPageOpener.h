#pragma once

#include "reports/PageOpener.h"

namespace kitebar {

// Opens a page in the user's browser with `xdg-open`, started directly (no
// shell) and not waited for: the browser may stay open long after.
class XdgPageOpener final : public PageOpener {
 public:
  // Fails when xdg-open cannot be started (for instance, not installed).
  Status Open(const std::filesystem::path& page) override;
};

}  // namespace kitebar
