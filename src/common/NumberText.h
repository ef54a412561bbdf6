#pragma once

#include <string>
#include <string_view>

namespace kitebar {

// Conversions between numbers and the text of the settings and data files.
// They behave as the C functions atoi, atof and printf do in the "C" locale,
// whatever locale the process runs under.

// As atoi: leading blanks, an optional sign, decimal digits up to the first
// other character; 0 when there are none. Values beyond int saturate.
int ParseIntLikeAtoi(std::string_view text);

// As atof for decimal text: leading blanks, an optional sign, digits with an
// optional '.' fraction and exponent; 0.0 when nothing reads as a number.
double ParseDoubleLikeAtof(std::string_view text);

// UTF-8 `text` with the full-width forms that a Japanese input method types
// into a number (the digits U+FF10 to U+FF19, "＋", "－", "−", "．" and the
// ideographic space) in their ASCII forms, and everything else as it was, so
// that "１２３" reads as the 123 it looks like.
std::string NarrowDigits(std::string_view text);

// printf("%.<decimals>f", value) in the "C" locale.
std::string FormatFixed(double value, int decimals);

// printf("%d", value).
std::string FormatInt(long long value);

// printf("%0<width>d", value) for value >= 0.
std::string FormatZeroPadded(long long value, int width);

}  // namespace kitebar
