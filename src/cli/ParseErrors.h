#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>

namespace kitebar::cli {

// The command-line parser's English description of a wrong command line, said
// in Japanese; empty for a description of an unknown form, whose English
// would only break into the Japanese message.
std::string ParseErrorInJapanese(std::string_view description);

// Replaces the parser's type names in the help of `app` and its commands
// ("INT:INT in [1 - 5]", "Excludes: --open") with what a user types: "N",
// "N (1-5)", "(required)".
void MakeHelpReadable(CLI::App& app);

}  // namespace kitebar::cli
