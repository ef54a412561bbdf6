#include "history/PageText.h"

#include <algorithm>

namespace kitebar {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

bool PatternAt(std::string_view text, std::size_t position, std::string_view pattern) {
  return position <= text.size() && text.size() - position >= pattern.size() &&
         text.compare(position, pattern.size(), pattern) == 0;
}

bool PatternAtIgnoringCase(std::string_view text, std::size_t position, std::string_view pattern) {
  if (position > text.size() || text.size() - position < pattern.size())
    return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (LowerAscii(text[position + i]) != LowerAscii(pattern[i]))
      return false;
  }
  return true;
}

std::string_view CharactersAt(std::string_view text, std::size_t position, std::size_t width) {
  if (position >= text.size())
    return {};
  return text.substr(position, width);
}

int ReadNumberAt(std::string_view text, std::size_t position, std::size_t width) {
  std::string_view field = CharactersAt(text, position, width);
  while (!field.empty() && IsBlank(field.front()))
    field.remove_prefix(1);
  int value = 0;
  for (char c : field) {
    if (c < '0' || c > '9')
      break;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<int> ReadCompleteNumberAt(std::string_view text, std::size_t position,
                                        std::size_t width) {
  if (position > text.size() || text.size() - position < width)
    return std::nullopt;
  return ReadNumberAt(text, position, width);
}

std::optional<std::string> WinningNumberAt(std::string_view text, std::size_t position) {
  constexpr std::size_t kWidth = 3;
  const std::string_view digits = CharactersAt(text, position, kWidth + 1);
  if (digits.size() < kWidth || !std::all_of(digits.begin(), digits.begin() + kWidth, IsDigit) ||
      (digits.size() > kWidth && IsDigit(digits[kWidth]))) {
    return std::nullopt;
  }
  return std::string(digits.substr(0, kWidth));
}

}  // namespace kitebar
