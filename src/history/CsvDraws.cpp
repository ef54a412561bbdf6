#include "history/CsvDraws.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/NumberText.h"
#include "history/CsvRows.h"
#include "history/ResultCells.h"
#include "history/ResultColumns.h"

namespace kitebar {
namespace {

// A line shown in a message: as it stands, cut short when long.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  if (text.size() <= kShown)
    return "「" + std::string(text) + "」";
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  return "「" + std::string(text.substr(0, cut)) + "…」";
}

Status LineFailure(const CsvRow& row, std::string_view what) {
  return Status::Failure(FormatInt(row.line) + " 行目" + Quoted(row.text) + ": " +
                         std::string(what));
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHeader(const CsvRow& row) {
  return std::any_of(row.cells.begin(), row.cells.end(), [](std::string_view cell) {
    return RoleOfHeaderName(cell) != ColumnRole::kOther;
  });
}

// The lines of the project's own files, "draw,yyyy-mm-dd,NNN" and
// "draw,NNN", which may be mixed; told by their first line.
bool IsOwnLayout(const std::vector<const CsvRow*>& rows) {
  const bool commaRows = std::all_of(rows.begin(), rows.end(), [](const CsvRow* row) {
    return row->separator == CellSeparator::kComma &&
           (row->cells.size() == 2 || row->cells.size() == 3);
  });
  if (!commaRows)
    return false;
  const std::vector<std::string_view>& first = rows.front()->cells;
  return AllDigits(first.front()) && AllDigits(first.back()) &&
         (first.size() == 2 || first[1].empty() || ParseDateCell(first[1]));
}

std::optional<Status> ReadDate(const CsvRow& row, std::string_view cell, CsvDraw& draw) {
  if (cell.empty())
    return std::nullopt;
  const std::optional<int> date = ParseDateCell(cell);
  if (!date) {
    return LineFailure(row, "日付「" + std::string(cell) +
                                "」が日付として読めません（1994-10-07、1994/10/7、1994年10月7日 "
                                "のように書きます）。");
  }
  draw.date = *date;
  return std::nullopt;
}

// The winning number of a row; `rewrittenAllowed` where the column is known
// to hold winning numbers, so that one that lost its leading zeros is read.
std::optional<Status> ReadNumber(const CsvRow& row, std::string_view cell, bool rewrittenAllowed,
                                 CsvDraw& draw) {
  const NumberCell number = ParseNumberCell(cell);
  if (number.form == NumberForm::kTooLong) {
    return LineFailure(row, "当せん番号「" + std::string(cell) + "」が 4 桁以上あります。");
  }
  if (number.form == NumberForm::kNone ||
      (number.form == NumberForm::kRewritten && !rewrittenAllowed)) {
    return LineFailure(
        row, cell.empty() ? std::string("当せん番号がありません。")
                          : "当選番号が3桁の数字ではありません（「" + std::string(cell) + "」）。");
  }
  draw.digits = number.digits;
  draw.padded = number.padded;
  return std::nullopt;
}

class DrawReader {
 public:
  explicit DrawReader(std::string_view text) : table_(text) {}

  Result<std::vector<CsvDraw>> Read() {
    SortLines();
    if (data_.empty()) {
      if (Status digits = NoDrawFailure(); !digits.ok())
        return digits;
      return std::vector<CsvDraw>{};
    }
    if (IsOwnLayout(data_))
      return ReadOwnLayout();
    const Result<ColumnLayout> layout = FindColumns(data_, header_);
    if (!layout.ok()) {
      return Status::Failure(layout.message() + "（" + FormatInt(data_.front()->line) +
                             " 行目から読み取りました）");
    }
    return ReadTable(*layout);
  }

 private:
  // Header lines, lines without a digit, and the rows of draws.
  void SortLines() {
    for (const CsvRow& row : table_.rows()) {
      // A header comes before the rows, or is repeated on a line without digits.
      const bool header = (data_.empty() || !row.hasDigit) && IsHeader(row);
      if (header && !headerFound_) {
        header_ = row.cells;
        headerFound_ = true;
      }
      if (header)
        continue;
      // A first line without a digit names the columns when nothing else does.
      if (!row.hasDigit) {
        if (header_.empty() && data_.empty())
          header_ = row.cells;
        continue;
      }
      data_.push_back(&row);
    }
  }

  Status NoDrawFailure() const {
    for (const CsvRow& row : table_.rows()) {
      if (row.hasDigit)
        return LineFailure(row, "数字はありますが、回と当せん番号として読めません。");
    }
    return Status::Ok();
  }

  Result<std::vector<CsvDraw>> ReadOwnLayout() const {
    const bool numberNamed =
        headerFound_ && RoleOfHeaderName(header_.back()) == ColumnRole::kNumber;
    std::vector<CsvDraw> draws;
    draws.reserve(data_.size());
    for (const CsvRow* row : data_) {
      CsvDraw& draw = draws.emplace_back();
      draw.line = row->line;
      const std::vector<std::string_view>& cells = row->cells;
      if (!AllDigits(cells.front()) || cells.front().size() > 9)
        return LineFailure(*row, "回が数字ではありません。");
      draw.draw = ParseIntLikeAtoi(cells.front());
      if (cells.size() == 3) {
        if (std::optional<Status> bad = ReadDate(*row, cells[1], draw))
          return *bad;
      }
      if (std::optional<Status> bad = ReadNumber(*row, cells.back(), numberNamed, draw))
        return *bad;
    }
    return draws;
  }

  Result<std::vector<CsvDraw>> ReadTable(const ColumnLayout& layout) const {
    const std::size_t needed =
        static_cast<std::size_t>(std::max({layout.draw, layout.date, layout.number})) + 1;
    std::vector<CsvDraw> draws;
    draws.reserve(data_.size());
    for (const CsvRow* row : data_) {
      if (row->cells.size() < needed) {
        return LineFailure(
            *row, "列が " + FormatInt(static_cast<long long>(needed)) + " 列ありません（" +
                      FormatInt(static_cast<long long>(row->cells.size())) + " 列です）。");
      }
      CsvDraw& draw = draws.emplace_back();
      draw.line = row->line;
      const std::string_view drawCell = row->cells[static_cast<std::size_t>(layout.draw)];
      const std::optional<DrawCell> parsed = ParseDrawCell(drawCell);
      if (!parsed)
        return LineFailure(*row, "回「" + std::string(drawCell) + "」が読めません。");
      draw.draw = parsed->draw;
      if (layout.date >= 0) {
        if (std::optional<Status> bad =
                ReadDate(*row, row->cells[static_cast<std::size_t>(layout.date)], draw))
          return *bad;
      }
      if (std::optional<Status> bad =
              ReadNumber(*row, row->cells[static_cast<std::size_t>(layout.number)], true, draw))
        return *bad;
    }
    return draws;
  }

  CsvRows table_;
  std::vector<const CsvRow*> data_;
  std::vector<std::string_view> header_;
  bool headerFound_ = false;
};

}  // namespace

Result<std::vector<CsvDraw>> ReadCsvDraws(std::string_view text) {
  DrawReader reader(text);
  return reader.Read();
}

}  // namespace kitebar
