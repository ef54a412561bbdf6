#pragma once

#include "reports/PageOpener.h"

namespace kitebar {

// Opens a page in the user's browser with `xdg-open`, started directly (no
// shell) and waited for only briefly: the browser may stay open long after.
class XdgPageOpener final : public PageOpener {
 public:
  // Fails when there is no display, when xdg-open cannot be started (for
  // instance, not installed) and when it soon ends with a failure status.
  Status Open(const std::filesystem::path& page) override;
};

}  // namespace kitebar
