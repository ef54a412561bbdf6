#pragma once

#include <filesystem>
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

// As RunCli, with standard input read from `input`.
CliResult RunCliWithInput(const std::vector<std::string>& args, const std::string& input);

// As RunCli, with a Ctrl+C that comes before the program is ready for it:
// the program starts with SIGINT blocked and one SIGINT waiting, so that it
// gets the signal the moment it unblocks it.
CliResult RunCliInterrupted(const std::vector<std::string>& args);

// As RunCli, in the working folder `folder`.
CliResult RunCliIn(const std::filesystem::path& folder, const std::vector<std::string>& args);

}  // namespace kitebar::test
