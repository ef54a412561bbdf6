#pragma once

#include <string>
#include <string_view>

#include "history/DrawHistory.h"

namespace kitebar::cli {

// Loads "kitebarnum.dat"; on failure prints what went wrong and what to do,
// and returns false.
bool LoadHistoryOrReport(DrawHistory& history);

// The same for the commands that create the history: a file that does not
// exist yet leaves the history empty.
bool LoadHistoryIfPresentOrReport(DrawHistory& history);

// A listing of the settings dialog ("d: PPP \r\n" lines) as terminal lines,
// without the trailing blank and CR.
std::string ListingForTerminal(std::string_view listing);

}  // namespace kitebar::cli
