#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <vector>

namespace kitebar::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;  // also an invalid entry

// One sub-command of kitebar-cli: it adds its options to the parser and runs
// when the user named it. Output goes to stdout, failures as one line on stderr.
class Command {
 public:
  virtual ~Command() = default;
  // Adds the sub-command to `app` and returns it.
  virtual CLI::App* Register(CLI::App& app) = 0;
  virtual int Run() = 0;
};

// Every command of the program, in the order of the help text.
std::vector<std::unique_ptr<Command>> MakeCommands();

}  // namespace kitebar::cli
