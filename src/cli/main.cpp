#include <cstdio>
#include <iostream>
#include <utility>

#include "cli/Command.h"

int main(int argc, char** argv) {
  using namespace kitebar::cli;
  CLI::App app{
      "kitebar-cli: the Kitebar predictor from the command line.\n"
      "Works on the files of the current directory."};
  app.require_subcommand(1);
  std::vector<std::unique_ptr<Command>> commands = MakeCommands();
  std::vector<std::pair<CLI::App*, Command*>> registered;
  for (const auto& command : commands)
    registered.emplace_back(command->Register(app), command.get());
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? kExitOk : kExitUsage;
  }
  for (const auto& [subcommand, command] : registered) {
    if (subcommand->parsed()) {
      const int code = command->Run();
      std::fflush(stdout);
      return code;
    }
  }
  return kExitUsage;
}
