#include "settings/FieldExchange.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/NumberText.h"

namespace kitebar {
namespace {

constexpr char kNotADecimal[] = "数字を入力してください。";
constexpr char kNotAnInteger[] = "整数を入力してください。";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Splits off a leading sign; true when it was a minus.
bool TakeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '+' && text.front() != '-'))
    return false;
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

bool StartsLikeNumber(std::string_view text) {
  return !text.empty() && ((text.front() >= '0' && text.front() <= '9') || text.front() == '.');
}

std::optional<double> ParseWholeDecimal(std::string_view text) {
  text = TrimBlanks(text);
  const bool negative = TakeSign(text);
  // from_chars would also read "inf" and "nan", which are no numbers here.
  if (!StartsLikeNumber(text))
    return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  if (std::abs(value) > std::numeric_limits<float>::max())
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> ParseWholeInteger(std::string_view text) {
  text = TrimBlanks(text);
  const bool negative = TakeSign(text);
  if (text.empty() || text.front() < '0' || text.front() > '9')
    return std::nullopt;
  long long magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  const long long value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(value);
}

std::string RangeWarning(std::string_view minimum, std::string_view maximum,
                         std::string_view kind) {
  return std::string(minimum) + " から " + std::string(maximum) + " までの" + std::string(kind) +
         "を入力してください。";
}

}  // namespace

TakenField<float> TakeDecimalField(std::string_view text, FieldRange<float> range) {
  const std::optional<double> parsed = ParseWholeDecimal(NarrowDigits(text));
  if (!parsed)
    return {std::nullopt, kNotADecimal};
  const float value = static_cast<float>(*parsed);
  if (value < range.minimum || value > range.maximum) {
    return {value, RangeWarning(FormatFieldDecimal(range.minimum),
                                FormatFieldDecimal(range.maximum), "数字")};
  }
  return {value, {}};
}

TakenField<int> TakeIntegerField(std::string_view text, FieldRange<int> range) {
  const std::optional<int> value = ParseWholeInteger(NarrowDigits(text));
  if (!value)
    return {std::nullopt, kNotAnInteger};
  if (*value < range.minimum || *value > range.maximum)
    return {value, RangeWarning(FormatInt(range.minimum), FormatInt(range.maximum), "整数")};
  return {value, {}};
}

std::string TextLengthWarning(std::size_t length, std::size_t maximum) {
  if (length <= maximum)
    return {};
  return FormatInt(static_cast<long long>(maximum)) + " 文字以内で入力してください。";
}

std::string FormatFieldDecimal(double value) {
  char buffer[32];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  if (error != std::errc())
    return "0";
  return std::string(buffer, end);
}

}  // namespace kitebar
