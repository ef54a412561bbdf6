#include "common/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace kitebar {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  return text.substr(i);
}

}  // namespace

int ParseIntLikeAtoi(std::string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (!IsDigit(c))
      break;
    if (value <= static_cast<long long>(INT_MAX) + 1)
      value = value * 10 + (c - '0');
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    return INT_MAX;
  if (value < INT_MIN)
    return INT_MIN;
  return static_cast<int>(value);
}

double ParseDoubleLikeAtof(std::string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // from_chars wants no sign of its own and no leading blanks; the longest
  // prefix that reads as a decimal number is taken, as strtod does.
  if (text.empty() || !(IsDigit(text[0]) || text[0] == '.'))
    return negative ? -0.0 : 0.0;
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    value = HUGE_VAL;
    // A tiny value underflows to 0 in strtod as well.
    if (text.find_first_of("123456789") == std::string_view::npos ||
        text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos) {
      value = 0.0;
    }
  } else if (error != std::errc()) {
    value = 0.0;
  }
  (void)end;
  return negative ? -value : value;
}

std::string FormatFixed(double value, int decimals) {
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc())
    return "0";
  return std::string(buffer, end);
}

std::string FormatInt(long long value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;
  return std::string(buffer, end);
}

std::string FormatZeroPadded(long long value, int width) {
  std::string digits = FormatInt(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

}  // namespace kitebar
