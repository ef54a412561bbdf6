#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/WalkForward.h"

namespace kitebar {

// What the evaluation page and the tuning page share: their head with one
// style sheet (desktop and phone width; tables marked "cards" become one card
// per row on a phone), the names of the kinds and sets, and the numbers of
// their tables.

inline constexpr double kSignificance = 0.05;
inline constexpr double kSmallestShownPValue = 0.0001;

struct KindLook {
  const char* name;
  const char* colour;
};
inline constexpr std::array<KindLook, kHitKindCount> kKindLooks{
    {{"ストレート", "#cf222e"}, {"ボックス", "#9a6700"}, {"ミニ", "#0969da"}}};

// Everything up to and with the opening of <main>: UTF-8, lang="ja", no
// script.
std::string AnalysisPageHead(std::string_view title);
// The closing of <main> and the page.
std::string_view AnalysisPageFoot();

// A count with a comma every three digits: 10,000.
std::string FormatGrouped(long long count);
// Expected hits with two decimals.
std::string FormatExpected(double value);
// A p-value with four decimals, or "&lt;&nbsp;0.0001" (never broken after the sign).
std::string FormatPValue(double p);
// The style of a verdict cell: within chance, or unusual.
std::string_view VerdictClass(double pValue);
// A table cell that shows `label` before its text on a phone.
std::string Cell(std::string_view label, std::string_view text, std::string_view cssClass = {});
// "第N回".
std::string DrawName(int drawNumber);
// "タイプ１" to "タイプ５" for sets 0 to 4.
std::string TypeName(int settingsType);

}  // namespace kitebar
