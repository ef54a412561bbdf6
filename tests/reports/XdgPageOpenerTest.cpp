#include "reports/XdgPageOpener.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/ScopedEnvironment.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::ScopedEnvironment;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// The opener does not wait for a browser that xdg-open runs, so its effect is
// awaited here.
std::string AwaitFile(const std::filesystem::path& file) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string contents = ReadFileBytes(file);
    if (!contents.empty() && contents.back() == '\n')
      return contents;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

TEST(XdgPageOpener, StartsXdgOpenFromThePathWithTheAbsolutePage) {
  TempWorkingDirectory folder;
  std::filesystem::create_directory("bin");
  const std::filesystem::path fake = folder.path() / "bin" / "xdg-open";
  const std::filesystem::path record = folder.path() / "opened.txt";
  // One echo is one write: the record appears whole. PATH holds only the fake.
  WriteFileBytes(fake, "#!/bin/sh\necho \"$@\" > \"" + record.string() + "\"\n");
  std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  WriteFileBytes("showyosou.html", "page");
  const ScopedEnvironment path("PATH", (folder.path() / "bin").c_str());
  const ScopedEnvironment display("DISPLAY", ":99");
  XdgPageOpener opener;
  ASSERT_TRUE(opener.Open("showyosou.html"));
  EXPECT_EQ(AwaitFile(record), (folder.path() / "showyosou.html").string() + "\n");
}

TEST(XdgPageOpener, FailsWhenXdgOpenCannotBeStarted) {
  TempWorkingDirectory folder;
  std::filesystem::create_directory("empty");
  const ScopedEnvironment path("PATH", (folder.path() / "empty").c_str());
  const ScopedEnvironment display("DISPLAY", ":99");
  XdgPageOpener opener;
  const Status opened = opener.Open("showyosou.html");
  EXPECT_FALSE(opened.ok());
  EXPECT_NE(opened.message().find("xdg-open"), std::string::npos);
}

}  // namespace
}  // namespace kitebar
