#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kitebar {

// The checks that the settings dialog applies when it takes the values of its
// entry fields, and the text in which it shows them again. Warnings are the
// dialog's own messages with the bounds filled in.

template <typename T>
struct FieldRange {
  T minimum;
  T maximum;
};

inline constexpr FieldRange<float> kReachPointRange{0.0f, 5.0f};
inline constexpr FieldRange<float> kHitPointRange{10.0f, 15.0f};
inline constexpr FieldRange<int> kStepNumRange{1, 300};
inline constexpr FieldRange<float> kDiameterRange{20.0f, 50.0f};
// The windmill position entry and the stop constant take three characters.
inline constexpr std::size_t kShortTextMaxLength = 3;

// One number field taken: the value for its member (none when the text is not
// a number, so that the member keeps its previous value) and the warning to
// show (empty when the field passes). A number outside its range is kept in
// the member and warned about.
template <typename T>
struct TakenField {
  std::optional<T> value;
  std::string warning;

  bool passed() const { return warning.empty(); }
};

// Full-width digits, signs and points count as their ASCII forms in both.
// A decimal field: blanks around an optional sign and a decimal number with an
// optional fraction and exponent; nothing else, and finite in single precision.
TakenField<float> TakeDecimalField(std::string_view text, FieldRange<float> range);

// An integer field: blanks around an optional sign and decimal digits that fit
// a 32-bit integer.
TakenField<int> TakeIntegerField(std::string_view text, FieldRange<int> range);

// "%1 文字以内で入力してください。" when `length` exceeds `maximum`, else empty.
std::string TextLengthWarning(std::size_t length, std::size_t maximum);

// A decimal as the fields show it: the shortest form with up to six
// significant digits (11.5, 1.26, 30), as printf("%.6g") in the "C" locale.
std::string FormatFieldDecimal(double value);

}  // namespace kitebar
