#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The head that the prediction page and the hit-statistics pages share, up to
// the table's header row: the page title and the label of the second column
// differ.
std::string ReportPageHead(std::string_view title, std::string_view secondColumn);

// Writes a page built in UTF-8 with '\n' line ends as the browser gets it:
// Shift_JIS, CR LF, replacing the old page atomically.
Status WriteReportPage(const std::filesystem::path& file, std::string_view page);

}  // namespace kitebar
