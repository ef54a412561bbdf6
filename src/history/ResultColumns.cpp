#include "history/ResultColumns.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "history/ResultCells.h"

namespace kitebar {
namespace {

struct KnownName {
  std::string_view name;
  ColumnRole role;
};

// Names as NormalName leaves them.
constexpr KnownName kKnownNames[] = {
    {"回", ColumnRole::kDraw},
    {"回別", ColumnRole::kDraw},
    {"回号", ColumnRole::kDraw},
    {"回数", ColumnRole::kDraw},
    {"回次", ColumnRole::kDraw},
    {"開催回", ColumnRole::kDraw},
    {"抽せん回", ColumnRole::kDraw},
    {"抽選回", ColumnRole::kDraw},
    {"draw", ColumnRole::kDraw},
    {"drawnumber", ColumnRole::kDraw},
    {"drawno", ColumnRole::kDraw},
    {"round", ColumnRole::kDraw},
    {"日付", ColumnRole::kDate},
    {"抽せん日", ColumnRole::kDate},
    {"抽選日", ColumnRole::kDate},
    {"開催日", ColumnRole::kDate},
    {"date", ColumnRole::kDate},
    {"drawdate", ColumnRole::kDate},
    {"番号", ColumnRole::kNumber},
    {"本数字", ColumnRole::kNumber},
    {"当せん番号", ColumnRole::kNumber},
    {"当選番号", ColumnRole::kNumber},
    {"当せん数字", ColumnRole::kNumber},
    {"当選数字", ColumnRole::kNumber},
    {"抽せん数字", ColumnRole::kNumber},
    {"抽選数字", ColumnRole::kNumber},
    {"number", ColumnRole::kNumber},
    {"numbers", ColumnRole::kNumber},
    {"winningnumber", ColumnRole::kNumber},
    {"winningnumbers", ColumnRole::kNumber},
    {"result", ColumnRole::kNumber},
};

std::string NormalName(std::string_view name) {
  std::string normal;
  normal.reserve(name.size());
  for (const char c : name) {
    if (c == ' ' || c == '_' || c == '-' || c == '.' || c == '"' || c == '\'')
      continue;
    normal += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return normal;
}

const char* RoleName(ColumnRole role) {
  switch (role) {
    case ColumnRole::kDraw:
      return "回";
    case ColumnRole::kDate:
      return "日付";
    case ColumnRole::kNumber:
      return "当せん番号";
    case ColumnRole::kOther:
      break;
  }
  return "";
}

// What the values of one column look like, over the rows that have it.
class ColumnValues {
 public:
  void Add(std::string_view cell) {
    ++present_;
    if (cell.empty()) {
      ++empty_;
      return;
    }
    if (const std::optional<DrawCell> draw = ParseDrawCell(cell)) {
      if (draw->marked)
        ++marked_;
      else
        wholeNumbers_.push_back(draw->draw);
    }
    if (ParseDateCell(cell))
      ++dates_;
    const NumberForm form = ParseNumberCell(cell).form;
    if (form == NumberForm::kThreeDigits || form == NumberForm::kList)
      ++threeDigits_;
    else if (form == NumberForm::kRewritten)
      ++rewritten_;
  }
  void Finish() {
    sorted_ = wholeNumbers_;
    std::sort(sorted_.begin(), sorted_.end());
  }

  bool AllMarkedDraws(int rows) const { return present_ == rows && marked_ == rows; }
  bool AllWholeNumbers(int rows) const {
    return present_ == rows && static_cast<int>(wholeNumbers_.size()) == rows;
  }
  bool Distinct() const {
    return std::adjacent_find(sorted_.begin(), sorted_.end()) == sorted_.end();
  }
  // Distinct whole numbers one after another, as an index or the draws of a
  // whole file are, and a column of winning numbers never is.
  bool Run() const {
    return !sorted_.empty() && Distinct() &&
           sorted_.back() - sorted_.front() + 1 == static_cast<int>(sorted_.size());
  }
  bool StartsAtZero() const { return !sorted_.empty() && sorted_.front() == 0; }
  bool AllWinningNumbers(int rows) const {
    return present_ == rows && threeDigits_ + rewritten_ == rows && threeDigits_ * 5 >= rows * 4;
  }
  bool AllDates(int rows) const {
    return present_ == rows && dates_ > 0 && dates_ + empty_ == rows;
  }
  const std::vector<int>& wholeNumbers() const { return wholeNumbers_; }

  const char* Kind(int rows) const {
    if (AllMarkedDraws(rows))
      return "第N回の形";
    if (AllDates(rows))
      return "日付";
    if (present_ == rows && threeDigits_ == rows)
      return "3 桁の数字";
    if (AllWholeNumbers(rows))
      return "整数";
    if (empty_ == present_)
      return "空";
    return "その他";
  }

 private:
  int present_ = 0;
  int empty_ = 0;
  int marked_ = 0;
  int dates_ = 0;
  int threeDigits_ = 0;
  int rewritten_ = 0;
  std::vector<int> wholeNumbers_;
  std::vector<int> sorted_;
};

class ColumnFinder {
 public:
  ColumnFinder(std::span<const CsvRow* const> rows, std::span<const std::string_view> header)
      : rows_(static_cast<int>(rows.size())), header_(header) {
    std::size_t columns = header.size();
    for (const CsvRow* row : rows)
      columns = std::max(columns, row->cells.size());
    values_.resize(std::min(columns, kMaxColumns));
    for (const CsvRow* row : rows) {
      for (std::size_t i = 0; i < values_.size() && i < row->cells.size(); ++i)
        values_[i].Add(row->cells[i]);
    }
    for (ColumnValues& column : values_)
      column.Finish();
  }

  Status FindNumber(ColumnLayout& layout) const {
    std::vector<int> found = Matching(
        layout, [this](const ColumnValues& column) { return column.AllWinningNumbers(rows_); });
    if (found.size() > 1) {
      std::erase_if(found, [this](int i) { return values_[static_cast<std::size_t>(i)].Run(); });
    }
    return Choose(found, ColumnRole::kNumber, layout.number);
  }

  Status FindDraw(ColumnLayout& layout) const {
    std::vector<int> found = Matching(
        layout, [this](const ColumnValues& column) { return column.AllMarkedDraws(rows_); });
    if (found.empty()) {
      found = Matching(layout, [this](const ColumnValues& column) {
        return column.AllWholeNumbers(rows_) && column.Distinct();
      });
    }
    // An index from 0 is no draw; one that repeats the draws is harmless.
    if (found.size() > 1) {
      std::erase_if(found,
                    [this](int i) { return values_[static_cast<std::size_t>(i)].StartsAtZero(); });
    }
    if (found.size() > 1 && AllSame(found))
      found.erase(found.begin() + 1, found.end());
    return Choose(found, ColumnRole::kDraw, layout.draw);
  }

  // The date is optional: a table with no date column, or with two that no
  // name tells apart, is read without one.
  void FindDate(ColumnLayout& layout) const {
    const std::vector<int> found =
        Matching(layout, [this](const ColumnValues& column) { return column.AllDates(rows_); });
    if (found.size() == 1)
      layout.date = found.front();
  }

 private:
  static constexpr std::size_t kMaxColumns = 64;

  template <typename Fits>
  std::vector<int> Matching(const ColumnLayout& layout, Fits fits) const {
    std::vector<int> found;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      const int column = static_cast<int>(i);
      const bool taken = column == layout.draw || column == layout.date || column == layout.number;
      if (!taken && fits(values_[i]))
        found.push_back(column);
    }
    return found;
  }

  bool AllSame(const std::vector<int>& columns) const {
    const std::vector<int>& first =
        values_[static_cast<std::size_t>(columns.front())].wholeNumbers();
    return std::all_of(columns.begin(), columns.end(), [&](int i) {
      return values_[static_cast<std::size_t>(i)].wholeNumbers() == first;
    });
  }

  Status Choose(const std::vector<int>& found, ColumnRole role, int& column) const {
    if (found.size() == 1) {
      column = found.front();
      return Status::Ok();
    }
    return Status::Failure(
        std::string("どの列が") + RoleName(role) + "か決められません（" +
        (found.empty() ? "当てはまる列がありません" : "当てはまる列が複数あります") +
        "）。見つかった列: " + DescribeColumns() +
        "。列の名前（回,日付,当せん番号 など）を書いた見出しの行を先頭に付ける"
        "と読み取れます。");
  }

  std::string DescribeColumns() const {
    std::string text;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (!text.empty())
        text += "、";
      text += FormatInt(static_cast<long long>(i) + 1) + " 列目";
      if (i < header_.size() && !header_[i].empty())
        text += "「" + std::string(header_[i]) + "」";
      text += "（" + std::string(values_[i].Kind(rows_)) + "）";
    }
    return text;
  }

  int rows_;
  std::span<const std::string_view> header_;
  std::vector<ColumnValues> values_;
};

// The roles that the header's names give; two columns of one role are
// refused rather than one of them guessed.
Status NamedColumns(std::span<const std::string_view> header, ColumnLayout& layout) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    const ColumnRole role = RoleOfHeaderName(header[i]);
    int* column = role == ColumnRole::kDraw     ? &layout.draw
                  : role == ColumnRole::kDate   ? &layout.date
                  : role == ColumnRole::kNumber ? &layout.number
                                                : nullptr;
    if (column == nullptr)
      continue;
    if (*column >= 0) {
      return Status::Failure(std::string("見出しに") + RoleName(role) + "の列が 2 つあります（「" +
                                 std::string(header[static_cast<std::size_t>(*column)]) + "」と「" +
                                 std::string(header[i]) +
                                 "」）。使わない列の名前を変えてください。",
                             Cause::kForm);
    }
    *column = static_cast<int>(i);
  }
  return Status::Ok();
}

}  // namespace

ColumnRole RoleOfHeaderName(std::string_view name) {
  const std::string normal = NormalName(name);
  for (const KnownName& known : kKnownNames) {
    if (normal == known.name)
      return known.role;
  }
  return ColumnRole::kOther;
}

Result<ColumnLayout> FindColumns(std::span<const CsvRow* const> rows,
                                 std::span<const std::string_view> header) {
  ColumnLayout layout;
  if (Status named = NamedColumns(header, layout); !named.ok())
    return named;
  if (layout.draw >= 0 && layout.number >= 0)
    return layout;
  const ColumnFinder finder(rows, header);
  if (layout.number < 0) {
    if (Status found = finder.FindNumber(layout); !found.ok())
      return found;
  }
  if (layout.draw < 0) {
    if (Status found = finder.FindDraw(layout); !found.ok())
      return found;
  }
  if (layout.date < 0)
    finder.FindDate(layout);
  return layout;
}

}  // namespace kitebar
