#include "reports/AnalysisPage.h"

#include "common/NumberText.h"
#include "settings/SettingsFiles.h"

namespace kitebar {
namespace {

constexpr char kStyle[] = R"(<style>
body { margin: 0; padding: 16px; background: #f6f8fa; color: #1f2328; line-height: 1.6;
  font-family: "Noto Sans CJK JP", "Hiragino Sans", "Yu Gothic", Meiryo, sans-serif; }
main { max-width: 980px; margin: 0 auto; }
h1 { font-size: 1.45rem; margin: 0 0 6px; }
h2 { font-size: 1.1rem; margin: 28px 0 10px; padding-left: 8px; border-left: 4px solid #2266cc; }
p { margin: 6px 0; }
.lead { color: #424a53; }
table { border-collapse: collapse; width: 100%; background: #fff; }
th, td { border: 1px solid #d0d7de; padding: 6px 9px; text-align: right; vertical-align: top; }
th { background: #eaeef2; text-align: center; font-weight: 600; }
td.name, td.verdict { text-align: left; }
td.name { font-weight: 600; white-space: nowrap; }
td.range { white-space: nowrap; }
td.numbers { text-align: left; }
td.verdict.within { color: #1a7f37; }
td.verdict.unusual { color: #953800; }
tr.chosen td { background: #fff8c5; }
.plots { display: grid; gap: 10px; }
figure { margin: 0; padding: 6px; background: #fff; border: 1px solid #d0d7de; }
figcaption { color: #424a53; font-size: 0.9rem; }
svg { display: block; width: 100%; height: auto; }
svg.narrow { display: none; }
svg text { font-size: 15px; fill: #424a53; }
svg text.title { font-size: 18px; font-weight: 600; }
svg .band { fill: #c4ccd4; }
svg .allband { fill: #eceff2; }
svg text.legend { font-size: 13px; }
svg .grid { stroke: #eaeef2; stroke-width: 1; }
svg .zero { stroke: #57606a; stroke-width: 1; stroke-dasharray: 5 4; }
svg .frame { fill: none; stroke: #afb8c1; stroke-width: 1; }
svg .course { fill: none; stroke-width: 2; stroke-linejoin: round; }
.note { background: #fff; border: 1px solid #d0d7de; padding: 8px 12px; }
svg .dots { fill: #6e7781; }
.nobr { white-space: nowrap; }
.key { border-left: 4px solid #2266cc; }
svg .mark { stroke-width: 2; }
svg .mark.best { stroke: #cf222e; }
svg .mark.current { stroke: #0969da; stroke-dasharray: 6 4; }
svg text.best { fill: #cf222e; }
svg text.current { fill: #0969da; }
svg text.best, svg text.current { paint-order: stroke; stroke: #fff; stroke-width: 4px;
  stroke-linejoin: round; }
dl { background: #fff; border: 1px solid #d0d7de; padding: 8px 12px; margin: 0; }
dt { font-weight: 600; }
dd { margin: 0 0 8px 1.2em; }
@media (max-width: 640px) {
  body { padding: 8px; }
  h1 { font-size: 1.25rem; }
  table.cards, table.cards tbody, table.cards tr { display: block; width: auto; }
  table.cards thead { display: none; }
  table.cards tr { margin-bottom: 10px; border: 1px solid #d0d7de; }
  table.cards td { display: flex; justify-content: space-between; gap: 12px; border: none;
    border-bottom: 1px solid #eaeef2; }
  table.cards td::before { content: attr(data-label); text-align: left; font-weight: 600;
    color: #424a53; }
  table.cards td.name { background: #eaeef2; }
  table.cards td.name::before { content: none; }
  table.cards td.verdict { display: block; }
  table.cards td.verdict::before { display: block; }
  svg.wide { display: none; }
  svg.narrow { display: block; }
}
</style>
)";

}  // namespace

std::string AnalysisPageHead(std::string_view title) {
  return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>" +
         std::string(title) + " - Kitebar</title>\n" + kStyle + "</head>\n<body>\n<main>\n";
}

std::string_view AnalysisPageFoot() {
  return "</main>\n</body>\n</html>\n";
}

std::string FormatGrouped(long long count) {
  const std::string digits = FormatInt(count);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && digits[at - 1] != '-' && (digits.size() - at) % 3 == 0)
      grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string FormatExpected(double value) {
  return FormatFixed(value, 2);
}

std::string FormatPValue(double p) {
  return p < kSmallestShownPValue ? "&lt;&nbsp;0.0001" : FormatFixed(p, 4);
}

std::string_view VerdictClass(double pValue) {
  return pValue >= kSignificance ? "verdict within" : "verdict unusual";
}

std::string Cell(std::string_view label, std::string_view text, std::string_view cssClass) {
  std::string cell = "<td";
  if (!cssClass.empty())
    cell += " class=\"" + std::string(cssClass) + "\"";
  return cell + " data-label=\"" + std::string(label) + "\">" + std::string(text) + "</td>";
}

std::string DrawName(int drawNumber) {
  return "第" + FormatInt(drawNumber) + "回";
}

std::string TypeName(int settingsType) {
  static const std::array<const char*, kSettingsTypeCount> kNames{
      "タイプ１", "タイプ２", "タイプ３", "タイプ４", "タイプ５"};
  return kNames[static_cast<std::size_t>(settingsType)];
}

}  // namespace kitebar
