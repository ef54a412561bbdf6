#include "cli/Console.h"

namespace kitebar::cli {

ConsoleSession::ConsoleSession(int argc, char** argv) {
  SetArguments(std::vector<std::string>(argv, argv + argc));
}

ConsoleSession::~ConsoleSession() = default;

}  // namespace kitebar::cli
