#include "support/CaseNames.h"

namespace kitebar::test {
namespace {

constexpr std::size_t kMaxDescription = 48;

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string CaseName(std::string_view description, std::size_t index) {
  std::string name;
  bool gap = false;
  for (std::size_t i = 0; i < description.size() && name.size() < kMaxDescription; ++i) {
    const char c = description[i];
    const bool minus = c == '-' && i + 1 < description.size() && IsDigit(description[i + 1]) &&
                       (i == 0 || !IsLetterOrDigit(description[i - 1]));
    if (!IsLetterOrDigit(c) && !minus) {
      gap = true;
      continue;
    }
    if (gap && !name.empty())
      name += '_';
    gap = false;
    name += minus ? std::string("minus") : std::string(1, c);
  }
  if (name.empty())
    name = description.empty() ? "Empty" : "Symbols";
  return name + '_' + std::to_string(index);
}

}  // namespace kitebar::test
