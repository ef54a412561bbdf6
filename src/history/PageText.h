#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kitebar {

// The byte patterns that the result-page reader looks for in the raw response
// text, with the Japanese ones as their Shift_JIS bytes. (A hex escape runs on
// over following hex digits, hence the split literals.)
namespace page_pattern {
// "★過去のデータ★"
inline constexpr std::string_view kPastDataMarker{
    "\x81\x9A\x89\xDF\x8B\x8E\x82\xCC\x83"
    "f\x81[\x83^\x81\x9A",
    16};
inline constexpr std::string_view kArchiveLink = "<A href=\"num";
inline constexpr std::string_view kRecentLink = "<A href=\"num3-h";
inline constexpr std::string_view kBlockAnchor = "<A href=\"#";
// "ＢＥＲＳ３"
inline constexpr std::string_view kBlockHeading{
    "\x82"
    "a\x82"
    "d\x82q\x82r\x82R",
    10};
inline constexpr std::string_view kBoldOpen = "<B>";
inline constexpr std::string_view kBoldClose = "</B>";
// "<B>第"
inline constexpr std::string_view kDrawHeadingOpen{"<B>\x91\xE6", 5};
// "回</b>"
inline constexpr std::string_view kDrawHeadingClose{"\x89\xF1</b>", 6};
}  // namespace page_pattern

// Whether `pattern` stands at `position` of `text`, byte for byte. A pattern
// that would run past the end of the text does not stand there.
bool PatternAt(std::string_view text, std::size_t position, std::string_view pattern);
// The same with ASCII letters compared without regard to case; other bytes,
// Shift_JIS ones included, compare exactly.
bool PatternAtIgnoringCase(std::string_view text, std::size_t position, std::string_view pattern);

// The number written in the `width` characters at `position`: leading blanks
// skipped, conversion stopping at the first character that is not a digit,
// 0 when there is no digit. Characters past the end of the text end it.
// Widths up to 9 characters.
int ReadNumberAt(std::string_view text, std::size_t position, std::size_t width);
// The same for a field that must lie wholly inside the text: nothing when the
// text ends within it (a page cut short must not yield a shortened number).
std::optional<int> ReadCompleteNumberAt(std::string_view text, std::size_t position,
                                        std::size_t width);

// The `width` characters at `position`, cut at the end of the text.
std::string_view CharactersAt(std::string_view text, std::size_t position, std::size_t width);

// The winning number written at `position`: exactly three ASCII digits, not
// followed by a further digit. Nothing for any other text (a word, a sign,
// blanks, two or four digits, a number cut by the end of the text), which
// must never be stored as some other number.
std::optional<std::string> WinningNumberAt(std::string_view text, std::size_t position);

}  // namespace kitebar
