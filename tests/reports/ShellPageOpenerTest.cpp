#include "reports/ShellPageOpener.h"

#include <gtest/gtest.h>

#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

// A page that is not there is reported with its name, not opened.
TEST(ShellPageOpener, AMissingPageIsReported) {
  test::TempWorkingDirectory folder;
  ShellPageOpener opener;
  const Status opened = opener.Open("showyosou.html");
  ASSERT_FALSE(opened.ok());
  EXPECT_NE(opened.message().find("showyosou.html"), std::string::npos) << opened.message();
  EXPECT_NE(opened.message().find("ブラウザ"), std::string::npos) << opened.message();
}

}  // namespace
}  // namespace kitebar
