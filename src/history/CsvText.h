#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The text of a results CSV as spreadsheets and editors save it: UTF-8 with
// or without a byte-order mark, UTF-16 (little or big endian) with one, or
// Shift_JIS (code page 932). Returns the text in UTF-8 without the mark, so
// that digits, commas and Japanese column names read alike in all of them.
// Fails, naming the encoding, on bytes that none of them explains, on a file
// whose lines are in two encodings, and on control characters, which no
// table of results holds (a binary file).
Result<std::string> CsvText(std::string_view bytes);

}  // namespace kitebar
