#include "history/ResultCells.h"

#include <algorithm>

namespace kitebar {
namespace {

constexpr std::string_view kDrawPrefix = "第";
constexpr std::string_view kDrawSuffix = "回";
constexpr std::string_view kYear = "年";
constexpr std::string_view kMonth = "月";
constexpr std::string_view kDay = "日";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// Takes the digits at the start of `text` off it, at most `most` of them;
// none when there is no digit or more than `most`.
std::optional<int> TakeNumber(std::string_view& text, std::size_t most) {
  std::size_t length = 0;
  while (length < text.size() && IsDigit(text[length]))
    ++length;
  if (length == 0 || length > most)
    return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < length; ++i)
    value = value * 10 + (text[i] - '0');
  text.remove_prefix(length);
  return value;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix))
    return false;
  text.remove_prefix(prefix.size());
  return true;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsCalendarDay(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || year > 2999 || month < 1 || month > 12 || day < 1)
    return false;
  return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// A weekday in half- or full-width brackets: "(金)", "（金）", "(Fri)".
bool TakeWeekday(std::string_view& text) {
  for (const auto& [open, close] : {std::pair<std::string_view, std::string_view>{"(", ")"},
                                    std::pair<std::string_view, std::string_view>{"（", "）"}}) {
    if (!text.starts_with(open))
      continue;
    const std::size_t end = text.find(close, open.size());
    // A weekday is a character or a short word.
    if (end == std::string_view::npos || end - open.size() > 9)
      return false;
    text.remove_prefix(end + close.size());
    return true;
  }
  return false;
}

// "0:00", "00:00:00".
bool TakeTime(std::string_view& text) {
  if (!TakeNumber(text, 2) || !TakePrefix(text, ":") || !TakeNumber(text, 2))
    return false;
  if (TakePrefix(text, ":"))
    return TakeNumber(text, 2).has_value();
  return true;
}

// Year, month and day, in one of the written forms.
bool TakeYearMonthDay(std::string_view& text, int& year, int& month, int& day) {
  std::string_view rest = text;
  const std::optional<int> y = TakeNumber(rest, 4);
  if (!y || text.size() - rest.size() != 4)
    return false;
  std::optional<int> m;
  std::optional<int> d;
  if (TakePrefix(rest, kYear)) {
    m = TakeNumber(rest, 2);
    if (!m || !TakePrefix(rest, kMonth))
      return false;
    d = TakeNumber(rest, 2);
    if (!d || !TakePrefix(rest, kDay))
      return false;
  } else {
    if (rest.empty() || (rest[0] != '-' && rest[0] != '/' && rest[0] != '.'))
      return false;
    const char separator = rest[0];
    rest.remove_prefix(1);
    m = TakeNumber(rest, 2);
    if (!m || !TakePrefix(rest, std::string_view(&separator, 1)))
      return false;
    d = TakeNumber(rest, 2);
    if (!d)
      return false;
  }
  year = *y;
  month = *m;
  day = *d;
  text = rest;
  return true;
}

std::string_view TrimBrackets(std::string_view text) {
  for (const auto& [open, close] : {std::pair<std::string_view, std::string_view>{"[", "]"},
                                    std::pair<std::string_view, std::string_view>{"(", ")"},
                                    std::pair<std::string_view, std::string_view>{"{", "}"},
                                    std::pair<std::string_view, std::string_view>{"（", "）"}}) {
    if (text.size() >= open.size() + close.size() && text.starts_with(open) &&
        text.ends_with(close)) {
      return TrimSpaces(text.substr(open.size(), text.size() - open.size() - close.size()));
    }
  }
  return text;
}

// "191.0" and "19.00", as a program that took the column for decimals writes
// it: the digits before the point.
std::string_view WithoutZeroFraction(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos || point + 1 == text.size())
    return text;
  const std::string_view fraction = text.substr(point + 1);
  if (fraction.find_first_not_of('0') != std::string_view::npos)
    return text;
  return text.substr(0, point);
}

// Three single digits apart: "1, 9, 1", "1 9 1", "1・9・1".
std::optional<std::array<char, 3>> DigitList(std::string_view text) {
  std::array<char, 3> digits{};
  std::size_t count = 0;
  while (!text.empty()) {
    if (IsDigit(text[0])) {
      if (count == 3 || (text.size() > 1 && IsDigit(text[1])))
        return std::nullopt;
      digits[count++] = text[0];
      text.remove_prefix(1);
    } else if (text[0] == ',' || text[0] == ' ') {
      text.remove_prefix(1);
    } else if (!TakePrefix(text, "、") && !TakePrefix(text, "・")) {
      return std::nullopt;
    }
  }
  if (count != 3)
    return std::nullopt;
  return digits;
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos)
    return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

std::optional<DrawCell> ParseDrawCell(std::string_view cell) {
  cell = TrimSpaces(cell);
  const bool prefixed = TakePrefix(cell, kDrawPrefix);
  cell = TrimSpaces(cell);
  const std::optional<int> draw = TakeNumber(cell, 9);
  if (!draw)
    return std::nullopt;
  cell = TrimSpaces(cell);
  const bool suffixed = TakePrefix(cell, kDrawSuffix);
  if (!cell.empty() || (prefixed && !suffixed))
    return std::nullopt;
  return DrawCell{*draw, suffixed};
}

std::optional<int> ParseDateCell(std::string_view cell) {
  cell = TrimSpaces(cell);
  int year = 0;
  int month = 0;
  int day = 0;
  if (!TakeYearMonthDay(cell, year, month, day) || !IsCalendarDay(year, month, day))
    return std::nullopt;
  cell = TrimSpaces(cell);
  if (TakeWeekday(cell))
    cell = TrimSpaces(cell);
  if (!cell.empty() && !TakeTime(cell))
    return std::nullopt;
  if (!cell.empty())
    return std::nullopt;
  return year * 10000 + month * 100 + day;
}

NumberCell ParseNumberCell(std::string_view cell) {
  cell = TrimBrackets(TrimSpaces(cell));
  NumberCell number;
  const std::string_view whole = WithoutZeroFraction(cell);
  if (AllDigits(whole)) {
    if (whole.size() > 3) {
      number.form = NumberForm::kTooLong;
      return number;
    }
    number.form =
        whole.size() == 3 && whole == cell ? NumberForm::kThreeDigits : NumberForm::kRewritten;
    number.padded = whole.size() < 3;
    number.digits = {'0', '0', '0'};
    std::copy(whole.begin(), whole.end(), number.digits.end() - whole.size());
    return number;
  }
  if (const std::optional<std::array<char, 3>> digits = DigitList(cell)) {
    number.form = NumberForm::kList;
    number.digits = *digits;
  }
  return number;
}

}  // namespace kitebar
