#include "cli/CommandSupport.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/Command.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "reports/BrowserPageOpener.h"

namespace kitebar::cli {
namespace {

// The reason as one sentence, whether or not it ends in a full stop.
std::string Sentence(std::string text) {
  if (!text.ends_with("。"))
    text += "。";
  return text;
}

// A file that is there but cannot be read comes with its own advice; only a
// missing one is to be created.
void ReportLoadFailure(const DrawHistory& history, const Status& loaded) {
  std::error_code error;
  const bool missing = !std::filesystem::exists(history.file(), error) && !error;
  PrintError("当選番号の取得に失敗しました。" + Sentence(loaded.what()) +
             (missing ? "当選番号ファイル kitebarnum.dat のあるフォルダーで実行するか、load-csv "
                        "か import で作ってください。"
                      : std::string(AdviceFor(loaded.cause()))));
}

bool IsWholeNumberOption(const CLI::Option& option) {
  const std::string type = option.get_type_name();
  return type.starts_with("INT") || type.starts_with("UINT");
}

// Decimal digits with an optional sign, typed in full width or not; the
// leading zeros are taken off.
CLI::Validator DecimalNumber() {
  return CLI::Validator(
      [](std::string& text) {
        text = NarrowDigits(text);
        const std::size_t start = text.starts_with('-') || text.starts_with('+') ? 1 : 0;
        if (start == text.size() ||
            text.find_first_not_of("0123456789", start) != std::string::npos) {
          return std::string("a decimal whole number is expected");
        }
        const std::size_t significant =
            std::min(text.find_first_not_of('0', start), text.size() - 1);
        text.erase(start, significant - start);
        return std::string();
      },
      "");
}

}  // namespace

void RequireDecimalNumbers(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
    for (CLI::Option* option : command->get_options()) {
      if (IsWholeNumberOption(*option))
        option->transform(DecimalNumber());
    }
    RequireDecimalNumbers(*command);
  }
}

bool LoadHistoryOrReport(DrawHistory& history, DamageNotice notice) {
  if (const Status loaded = history.Load(); !loaded.ok()) {
    ReportLoadFailure(history, loaded);
    return false;
  }
  if (notice == DamageNotice::kWarn && history.damage())
    PrintError(history.DamageWarning());
  return true;
}

bool LoadHistoryIfPresentOrReport(DrawHistory& history, DamageNotice notice) {
  std::error_code error;
  if (!std::filesystem::exists(history.file(), error) && !error)
    return true;
  return LoadHistoryOrReport(history, notice);
}

int OpenPageOrReport(const std::filesystem::path& page) {
  BrowserPageOpener opener;
  if (const Status opened = opener.Open(page); !opened.ok()) {
    PrintError(opened.message());
    return kExitFailure;
  }
  return kExitOk;
}

std::string ListingForTerminal(std::string_view listing) {
  std::string out;
  out.reserve(listing.size());
  std::size_t start = 0;
  while (start < listing.size()) {
    const std::size_t end = listing.find(" \r\n", start);
    out.append(listing.substr(start, end - start));
    out += '\n';
    if (end == std::string_view::npos)
      break;
    start = end + 3;
  }
  return out;
}

}  // namespace kitebar::cli
