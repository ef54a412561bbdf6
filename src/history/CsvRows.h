#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kitebar {

// How the cells of a line are set apart: commas (CSV, with its quoted
// cells), tabs (a table copied from a page or a spreadsheet) or runs of
// spaces (the same table as some browsers copy it).
enum class CellSeparator { kComma, kTab, kSpaces };

struct CsvRow {
  int line = 0;  // 1-based, as an editor counts lines
  std::string_view text;
  CellSeparator separator = CellSeparator::kComma;
  std::vector<std::string_view> cells;  // without the spaces around them
  bool hasDigit = false;
};

// The lines of a results text (UTF-8) that hold anything, each split into its
// cells. Line ends may be CR LF, LF or CR. A line that holds a tab is split at
// tabs, else one that holds a comma at commas, else at runs of spaces.
// Full-width digits and spaces read as their ASCII forms.
class CsvRows {
 public:
  explicit CsvRows(std::string_view text);
  CsvRows(const CsvRows&) = delete;
  CsvRows& operator=(const CsvRows&) = delete;

  const std::vector<CsvRow>& rows() const { return rows_; }

 private:
  void AddLine(std::string_view line, int number);
  void SplitQuoted(std::string_view line, char separator, std::vector<std::string_view>& cells);

  // The texts that differ from the input (narrowed lines, unquoted cells); a
  // deque never moves them, so the views into them stay valid.
  std::deque<std::string> owned_;
  std::vector<CsvRow> rows_;
};

}  // namespace kitebar
