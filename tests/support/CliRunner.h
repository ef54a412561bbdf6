#pragma once

#include <string>
#include <vector>

namespace kitebar::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the built kitebar-cli in the current working directory with `args`
// and collects its exit code, stdout and stderr. Threads may run several at
// once.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace kitebar::test
