#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/DrawRecord.h"

namespace kitebar {

// One line of a history file as the reader takes it: the draw it names (the
// value of its number field), its record, and whether it is a pending line.
// Nothing for a line that is not part of the format (column 4 not a comma).
struct HistoryLine {
  int draw = 0;
  DrawRecord record;
  bool pending = false;
};
std::optional<HistoryLine> ParseHistoryLine(std::string_view piece);

// Why a line that holds a draw cannot be read as it stands.
enum class HistoryLineFault {
  kNone,
  kNul,                   // a NUL byte inside the line
  kBeyondLastDraw,        // a draw number after 9999, which the file cannot hold
  kUnclearNumber,         // the number field holds more than digits ("12ab,345")
  kNotInTheFormat,        // a number not in columns 0 to 3, followed by what the
                          // format's columns would misread ("1,1994-10-07,191")
  kUnclearWinningNumber,  // not three ASCII digits after the draw's comma
                          // ("0031,1234", "0031, 123", full-width digits)
  kUnclearLine,           // digits, but no draw number and comma to read
                          // ("O031,123", "0031 ,123", "３１,１２３")
};

// A line of a history file that holds a draw: a draw number (possibly after a
// byte-order mark, blanks or a sign) followed by a comma. Every such line is
// either read as exactly what it says (`fault` kNone, `parsed` set) or makes
// the file damaged: none is passed over unread.
struct HistoryFileLine {
  int line = 0;            // 1-based, counted as an editor counts lines
  std::string_view bytes;  // the line's bytes in the file, without its line end
  int draw = 0;            // the draw the line names
  HistoryLineFault fault = HistoryLineFault::kNone;
  HistoryLine parsed;  // when fault is kNone

  bool readable() const { return fault == HistoryLineFault::kNone; }
  // Whether the line holds a three-digit winning number.
  bool complete() const;
};

// A line that holds no draw: no digit at all (a blank line, a header, a
// note) or draw 0. The reader passes over it; a rewrite keeps it in place.
struct PassedOverLine {
  std::size_t before = 0;  // the number of draw lines before it in the file
  int line = 0;            // 1-based, as an editor counts lines
  std::string_view bytes;  // its bytes, without its line end, whole however long
};

// The lines of `contents` that hold a draw, in file order. A line of more
// than 127 characters is read in pieces of 127, each taken as a line of its
// own (with the line number of the line it is part of); a draw number written
// with fewer or more than four digits, or after blanks, is the same draw
// ("100,191" is draw 100, written back as "0100,191") when the rest of the
// line is in the writers' form; a UTF-8 byte-order mark at the start of a
// line is skipped. The draw number and the winning number are read exactly
// or the line is unreadable: a number, a comma, then three ASCII digits (or
// nothing, on a pending line) and the end of the line or a comma. Lines that
// hold no draw go to `passedOver` when given; any other line with a digit
// (full-width digits included) is listed, unreadable.
std::vector<HistoryFileLine> ReadHistoryFileLines(
    std::string_view contents, std::vector<PassedOverLine>* passedOver = nullptr);

// A line of a history file as a message shows it: printable ASCII as it is,
// every other byte as \xHH (a backslash as \\), at most 40 bytes of it.
std::string PrintableLine(std::string_view line);

}  // namespace kitebar
