#pragma once

#include <span>
#include <string_view>

#include "common/Status.h"
#include "history/CsvRows.h"

namespace kitebar {

enum class ColumnRole { kOther, kDraw, kDate, kNumber };

// The role that a column's name in a header gives it: the Japanese and
// English names that results files use (回別, 抽せん日, 本数字, draw_number,
// draw_date, winning_number, …), spelt with any case, spaces or underscores.
ColumnRole RoleOfHeaderName(std::string_view name);

// Which column of a results table holds the draw, the date (-1 when there is
// none) and the winning number.
struct ColumnLayout {
  int draw = -1;
  int date = -1;
  int number = -1;
};

// Finds the columns of the data rows `rows`: from the names of `header` (the
// header line's cells; empty when there is none) where they tell, and from
// the values of the columns otherwise. The draw column holds draws ("第1回"
// or distinct whole numbers), the number column winning numbers (at least
// four in five written with three digits when no header names it) and the
// date column dates. Fails, naming the columns found and what each holds,
// when a role fits no column or several that hold different values.
Result<ColumnLayout> FindColumns(std::span<const CsvRow* const> rows,
                                 std::span<const std::string_view> header);

}  // namespace kitebar
