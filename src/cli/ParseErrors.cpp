#include "cli/ParseErrors.h"

#include <regex>

namespace kitebar::cli {
namespace {

struct Translation {
  const char* pattern;
  const char* japanese;
};

// The parser's forms that a user can reach, most specific first.
constexpr Translation kTranslations[] = {
    {R"(^(.+): Value (.*) not in range (\S+) to (\S+)$)",
     "$1 の値 $2 は範囲外です（$3 から $4 まで）"},
    {R"(^(.+): (.*) not in \{(.*)\}$)", "$1 の値「$2」は使えません（使えるのは $3）"},
    {R"(^Could not convert: (.+) = (.*)$)", "$1 の値「$2」は数として読めません"},
    {R"(^The value (.*) is not an allowed value for (.+)$)", "$2 の値「$1」は使えません"},
    {R"(^(.+): a decimal whole number is expected$)", "$1 には 10 進の整数を指定してください"},
    {R"(^The following arguments? (?:was|were) not expected: (.*)$)",
     "解釈できない指定があります: $1"},
    {R"(^A subcommand is required$)", "コマンドを指定してください"},
    {R"(^Requires at least \d+ subcommands?$)", "コマンドを指定してください"},
    {R"(^(.+) is required$)", "$1 を指定してください"},
    {R"(^(.+) excludes (.+)$)", "$1 と $2 は同時に指定できません"},
    {R"(^(.+) requires (.+)$)", "$1 には $2 も指定してください"},
    {R"(^Expected exactly \d+ arguments? to (.+), got \d+$)", "$1 に値を指定してください"},
    {R"(^Expected at least \d+ arguments? to (.+), got \d+$)", "$1 に値を指定してください"},
    {R"(^(.+): \d+ required .* missing$)", "$1 に値を指定してください"},
    {R"(^(.+): At Most (\d+) required but received (\d+)$)",
     "$1 は $2 回までしか指定できません（$3 回指定されています）"},
    {R"(^(.+): At least (\d+) required but received (\d+)$)",
     "$1 は $2 回以上指定してください（$3 回指定されています）"},
    {R"(^(.+): too many inputs for a flag$)", "$1 は値をとりません"},
    {R"(^(.+): Should be true/false or a number$)", "$1 は値をとりません"},
    {R"(^(.+) was given a disallowed flag override$)", "$1 は値をとりません"},
    {R"(^(.+) not found$)", "$1 というオプションはありません"},
};

// "INT", "UINT:UINT in [1 - 10000000]", "TEXT:{straight,box,mini}" and the
// like as a placeholder with the values allowed.
std::string Placeholder(const std::string& typeName) {
  static const std::regex range(R"(in \[(\S+) - (\S+)\])");
  static const std::regex choice(R"(\{([^}]*)\})");
  std::smatch match;
  if (std::regex_search(typeName, match, choice))
    return match[1].str();
  std::string text = typeName.starts_with("TEXT") ? "TEXT" : "N";
  if (std::regex_search(typeName, match, range))
    text += " (" + match[1].str() + "-" + match[2].str() + ")";
  return text;
}

}  // namespace

void MakeHelpReadable(CLI::App& app) {
  for (CLI::Option* option : app.get_options()) {
    if (option->get_expected_max() == 0)  // a flag: its name says it all
      option->option_text(" ");
    else if (option->get_lnames().empty() && option->get_snames().empty())
      option->option_text(option->get_required() ? "(required)" : "(optional)");
    else
      option->option_text(Placeholder(option->get_type_name()));
  }
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
    MakeHelpReadable(*command);
}

std::string ParseErrorInJapanese(std::string_view description) {
  const std::string text(description);
  for (const Translation& translation : kTranslations) {
    const std::regex pattern(translation.pattern);
    if (std::regex_match(text, pattern))
      return std::regex_replace(text, pattern, translation.japanese);
  }
  return {};
}

}  // namespace kitebar::cli
