#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "history/DrawHistory.h"

namespace kitebar::cli {

// Whether a damaged history is pointed out on loading: a command that only
// reads works on the draws before the damage and says so; one that writes
// leaves that to its refusal.
enum class DamageNotice { kWarn, kLeaveToWriter };

// Loads "kitebarnum.dat"; on failure prints what went wrong and what to do,
// and returns false.
bool LoadHistoryOrReport(DrawHistory& history, DamageNotice notice = DamageNotice::kWarn);

// The same for the commands that create the history: a file that does not
// exist yet leaves the history empty.
bool LoadHistoryIfPresentOrReport(DrawHistory& history, DamageNotice notice = DamageNotice::kWarn);

// Hands a written page to the browser; on failure prints why and returns the
// failure status, else kExitOk.
int OpenPageOrReport(const std::filesystem::path& page);

// Makes every whole-number option of every command of `app` decimal: the
// parser would otherwise take "0x10" for 16 and "010" for 8. Full-width
// digits and signs, as a Japanese input method types them, count as ASCII.
void RequireDecimalNumbers(CLI::App& app);

// A listing of the settings dialog ("d: PPP \r\n" lines) as terminal lines,
// without the trailing blank and CR.
std::string ListingForTerminal(std::string_view listing);

}  // namespace kitebar::cli
