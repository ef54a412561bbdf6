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

struct WideForm {
  std::string_view utf8;
  char ascii;
};

// The full-width digits follow from U+FF10; these are the rest.
constexpr WideForm kWideSigns[] = {
    {"\xEF\xBC\x8B", '+'},  // U+FF0B FULLWIDTH PLUS SIGN
    {"\xEF\xBC\x8D", '-'},  // U+FF0D FULLWIDTH HYPHEN-MINUS
    {"\xE2\x88\x92", '-'},  // U+2212 MINUS SIGN
    {"\xEF\xBC\x8E", '.'},  // U+FF0E FULLWIDTH FULL STOP
    {"\xE3\x80\x80", ' '},  // U+3000 IDEOGRAPHIC SPACE
};

// The ASCII form of the three-byte sequence at the start of `text`, or 0.
char NarrowForm(std::string_view text) {
  if (text.size() < 3)
    return 0;
  const std::string_view head = text.substr(0, 3);
  const auto last = static_cast<unsigned char>(head[2]);
  if (head.substr(0, 2) == "\xEF\xBC" && last >= 0x90 && last <= 0x99)
    return static_cast<char>('0' + (last - 0x90));
  for (const WideForm& form : kWideSigns) {
    if (head == form.utf8)
      return form.ascii;
  }
  return 0;
}

}  // namespace

std::string NarrowDigits(std::string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (const char ascii = NarrowForm(text.substr(at)); ascii != 0) {
      narrow += ascii;
      at += 3;
    } else {
      narrow += text[at];
      ++at;
    }
  }
  return narrow;
}

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
