#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// One row of a results file as read: its line, draw, winning number and date
// (yyyymmdd, 0 when the row has none).
struct CsvDraw {
  int line = 0;
  int draw = 0;
  std::array<char, 3> digits{};
  int date = 0;
  bool padded = false;
};

// The rows of a results file's text (UTF-8) that hold draws, in the order of
// the file. Lines without a digit (a title, a header, an empty line) and
// header lines are passed over. Fails on the first row that cannot be read,
// naming its line, when the columns cannot be told apart, and when the text
// holds digits but no draw.
Result<std::vector<CsvDraw>> ReadCsvDraws(std::string_view text);

}  // namespace kitebar
