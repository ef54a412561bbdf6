#pragma once

#include <array>
#include <string_view>

namespace kitebar {

// One slot of the draw history: fixed-width character fields, each empty when
// its first character is NUL. The slot holds a record exactly when `number`
// is set.
struct DrawRecord {
  std::array<char, 4> number{};    // the draw number, "%04d"
  std::array<char, 3> digits{};    // the winning number; "xxx" for a pending draw
  std::array<char, 3> position{};  // the windmill position of the three places
  char status = '\0';              // '0' estimated, '1' decided

  bool exists() const { return number[0] != '\0'; }
  // Whether the draw has no winning number yet ("xxx" or empty digits).
  bool isPending() const { return digits[0] == 'x' || digits[0] == '\0'; }
  // A position counts when all three of its characters are set.
  bool hasPosition() const {
    return position[0] != '\0' && position[1] != '\0' && position[2] != '\0';
  }
  std::string_view digitsText() const { return FieldText(digits); }
  std::string_view positionText() const { return FieldText(position); }
  std::string_view numberText() const { return FieldText(number); }

  template <std::size_t N>
  static std::string_view FieldText(const std::array<char, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
      ++length;
    return std::string_view(field.data(), length);
  }
};

}  // namespace kitebar
