#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "cli/Command.h"
#include "cli/CommandSupport.h"
#include "cli/Console.h"
#include "cli/Output.h"
#include "cli/ParseErrors.h"
#include "history/HistoryChange.h"
#include "settings/SettingsFiles.h"

namespace {

// What the parser says badly about the command line before the command: an
// option of its own that it does not know (it would say that a command is
// missing), or a first word that names no command. Empty for anything else.
std::string UnknownLeadingWord(int argc, const char* const* argv, const CLI::App& app) {
  if (argc > 1 && std::string_view(argv[1]).starts_with("-")) {
    return "「" + std::string(argv[1]) +
           "」というオプションはありません。コマンドの前に付けられるのは --help と --version "
           "です。";
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word.starts_with("-"))
      continue;
    const auto subcommands = app.get_subcommands({});
    const bool known =
        std::any_of(subcommands.begin(), subcommands.end(),
                    [word](const CLI::App* each) { return each->get_name() == word; });
    if (known)
      return {};
    return "「" + std::string(word) +
           "」というコマンドはありません。使えるコマンドは kitebar-cli --help で確かめてください。";
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kitebar::cli;
  const ConsoleSession console(argc, argv);
  CLI::App app{
      "kitebar-cli: the Kitebar predictor from the command line.\n"
      "Works on the files of the current directory."};
  app.require_subcommand(1);
  // Options begin with "-" on every platform: on Windows "/" would otherwise
  // start one too, and take a path for an unknown option. Sub-commands copy
  // this on creation.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", "kitebar-cli " KITEBAR_VERSION, "Print the version and exit");
  std::vector<std::unique_ptr<Command>> commands = MakeCommands();
  std::vector<std::pair<CLI::App*, Command*>> registered;
  for (const auto& command : commands)
    registered.emplace_back(command->Register(app), command.get());
  RequireDecimalNumbers(app);
  MakeHelpReadable(app);
  try {
    app.parse(console.argc(), console.argv());
  } catch (const CLI::ParseError& error) {
    // --help and the like end here too, as successes.
    if (error.get_exit_code() == 0) {
      std::ostringstream out;
      std::ostringstream err;
      const int code = app.exit(error, out, err);
      WriteText(stdout, out.str());
      WriteText(stderr, err.str());
      return code;
    }
    if (const std::string unknown = UnknownLeadingWord(console.argc(), console.argv(), app);
        !unknown.empty()) {
      PrintError(unknown);
      return kExitUsage;
    }
    const std::string reason = ParseErrorInJapanese(error.what());
    PrintError("コマンドの指定が正しくありません" + (reason.empty() ? "" : ": " + reason) +
               "。使い方は kitebar-cli --help と kitebar-cli <コマンド> --help で確かめてくださ"
               "い。");
    return kExitUsage;
  }
  // A settings file that is a named pipe, a runaway file or saved in UTF-16 is
  // named before any command computes with defaults in its place.
  if (const kitebar::Status files = kitebar::CheckSettingsFiles("."); !files.ok()) {
    PrintError(files.Wrapped("設定ファイルを読めないため、何もしていません。").message());
    return kExitFailure;
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
