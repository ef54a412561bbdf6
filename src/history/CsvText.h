#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The text of a results CSV as spreadsheets and editors save it: UTF-8 with
// or without a byte-order mark, UTF-16 (little or big endian) with one, or
// Shift_JIS. Returns the lines with the mark taken off and UTF-16 turned into
// UTF-8, so that the digits and commas read alike in all of them; UTF-8 and
// Shift_JIS stay as they are. Fails, naming the encoding, on bytes that none
// of them explains.
Result<std::string> CsvText(std::string_view bytes);

}  // namespace kitebar
