#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kitebar {

// The values of one cell of a results file, as people and spreadsheets write
// them. Full-width digits are expected already narrowed (NarrowDigits).

// A draw: "第6380回", "6380回" or the bare number "6380". `marked` tells the
// first two, which no other column has.
struct DrawCell {
  int draw = 0;
  bool marked = false;
};
std::optional<DrawCell> ParseDrawCell(std::string_view cell);

// A date as yyyymmdd: "1994-10-07", "1994/10/7", "1994.10.07" or
// "2021年12月30日", optionally followed by a weekday in brackets ("(金)",
// "（金）") and a time ("0:00:00", as a spreadsheet adds). None for anything
// else, a day that the calendar does not have included.
std::optional<int> ParseDateCell(std::string_view cell);

// A winning number: three digits ("019"), the digits as a list ("[0, 1, 9]",
// "0 1 9"), or a number as a spreadsheet rewrites it ("19", "5", "19.0"),
// which is read only where the column is known to hold winning numbers: its
// lost leading zeros are put back (`padded`).
enum class NumberForm { kThreeDigits, kList, kRewritten, kTooLong, kNone };
struct NumberCell {
  NumberForm form = NumberForm::kNone;
  std::array<char, 3> digits{};  // for every form but kTooLong and kNone
  bool padded = false;
};
NumberCell ParseNumberCell(std::string_view cell);

// `text` without the spaces around it.
std::string_view TrimSpaces(std::string_view text);

}  // namespace kitebar
