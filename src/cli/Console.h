#pragma once

#include <string>
#include <vector>

namespace kitebar::cli {

// The command line and the console of one run of kitebar-cli: the arguments
// as UTF-8, and a console that shows the UTF-8 output as it is, with output
// bytes written unchanged (no LF to CR LF). On Linux both are already so
// (ConsolePosix.cpp); on Windows the arguments come from the wide command
// line and the console is switched to UTF-8 until the run ends
// (ConsoleWindows.cpp).
class ConsoleSession {
 public:
  ConsoleSession(int argc, char** argv);
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
  ~ConsoleSession();

  int argc() const { return static_cast<int>(arguments_.size()); }
  const char* const* argv() const { return pointers_.data(); }

 private:
  void SetArguments(std::vector<std::string> arguments);

  std::vector<std::string> arguments_;
  std::vector<const char*> pointers_;
  unsigned previousCodePage_ = 0;
};

}  // namespace kitebar::cli
