#include "cli/Console.h"

namespace kitebar::cli {

void ConsoleSession::SetArguments(std::vector<std::string> arguments) {
  arguments_ = std::move(arguments);
  pointers_.clear();
  for (const std::string& argument : arguments_)
    pointers_.push_back(argument.c_str());
  pointers_.push_back(nullptr);
}

}  // namespace kitebar::cli
