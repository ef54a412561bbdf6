#pragma once

#include <string>
#include <string_view>

#include "history/DrawHistory.h"

namespace kitebar::cli {

// Loads "kitebarnum.dat"; on failure prints the message and returns false.
bool LoadHistoryOrReport(DrawHistory& history);

// A listing of the settings dialog ("d: PPP \r\n" lines) as terminal lines,
// without the trailing blank and CR.
std::string ListingForTerminal(std::string_view listing);

}  // namespace kitebar::cli
