#pragma once

#include "reports/PageOpener.h"

namespace kitebar::app {

// Opens a written page with the desktop's default handler for its type (the
// user's browser for HTML).
class DesktopPageOpener final : public PageOpener {
 public:
  Status Open(const std::filesystem::path& page) override;
};

}  // namespace kitebar::app
