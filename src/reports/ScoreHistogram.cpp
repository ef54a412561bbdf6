#include "reports/ScoreHistogram.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"

namespace kitebar {
namespace {

constexpr double kPerHit = 1000.0;
// About one bar per this many units of the drawing's width.
constexpr double kBarSpacing = 20.0;
constexpr double kBarGap = 1.0;
constexpr double kLargestDot = 7.0;
constexpr double kSmallestDot = 1.5;
constexpr double kLabelRow = 18.0;
// The y-axis title, rotated, at the very left: the tick labels end 6 units
// left of the plot, so the plot's left margin leaves room for both.
constexpr double kAxisTitleX = 14.0;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return value % divisor != 0 && value < 0 ? quotient - 1 : quotient;
}

// The settings per score range: bin b holds the scores from start + b x width
// up to the next bin.
struct Bins {
  std::int64_t start = 0;
  std::int64_t width = 1;
  std::vector<int> settings;

  std::int64_t end() const { return start + width * static_cast<std::int64_t>(settings.size()); }
};

Bins Tally(const std::vector<std::int32_t>& scores, HistogramMarks marks, int bars) {
  std::int64_t low = std::min(marks.best, marks.current);
  std::int64_t high = std::max(marks.best, marks.current);
  for (const std::int32_t score : scores) {
    low = std::min<std::int64_t>(low, score);
    high = std::max<std::int64_t>(high, score);
  }
  const double span = std::max(static_cast<double>(high - low), kPerHit);
  Bins bins;
  bins.width = std::max<std::int64_t>(1, std::llround(NiceStep(span / kPerHit, bars) * kPerHit));
  bins.start = FloorDivide(low, bins.width) * bins.width;
  bins.settings.assign(static_cast<std::size_t>(FloorDivide(high - bins.start, bins.width) + 1), 0);
  for (const std::int32_t score : scores)
    ++bins.settings[static_cast<std::size_t>((score - bins.start) / bins.width)];
  return bins;
}

// Maps scores and numbers of settings into the plot area of a shape.
class Axes {
 public:
  Axes(const Bins& bins, const PlotShape& shape) : bins_(bins), shape_(shape) {
    const int tallest = std::max(1, *std::max_element(bins.settings.begin(), bins.settings.end()));
    // Whole rules, and at least two steps up, so that three ticks show.
    countStep_ = std::max(1.0, NiceStep(tallest, 4));
    top_ = std::max(std::ceil(tallest / countStep_), 2.0) * countStep_;
  }

  double X(double thousandths) const {
    return shape_.left + (thousandths - static_cast<double>(bins_.start)) /
                             static_cast<double>(bins_.end() - bins_.start) * PlotWidth();
  }
  double Y(double settings) const { return shape_.top + (1 - settings / top_) * PlotHeight(); }
  double PlotWidth() const { return shape_.width - shape_.left - shape_.right; }
  double PlotHeight() const { return shape_.height - shape_.top - shape_.bottom; }
  double PlotBottom() const { return shape_.height - shape_.bottom; }
  double countStep() const { return countStep_; }
  double top() const { return top_; }

 private:
  const Bins& bins_;
  const PlotShape& shape_;
  double countStep_ = 1;
  double top_ = 1;
};

// The dots' radius: as wide and as tall as a bar and a rule allow.
double DotRadius(const Bins& bins, const Axes& axes) {
  const double barWidth = axes.X(static_cast<double>(bins.start + bins.width)) -
                          axes.X(static_cast<double>(bins.start));
  return std::max(
      std::min({barWidth / 2 - kBarGap, (axes.Y(0) - axes.Y(1)) / 2 - kBarGap, kLargestDot}),
      kSmallestDot);
}

// The middle of bar `bin`.
double BarMiddle(const Bins& bins, const Axes& axes, std::size_t bin) {
  const auto from = static_cast<double>(bins.start + bins.width * static_cast<std::int64_t>(bin));
  return (axes.X(from) + axes.X(from + static_cast<double>(bins.width))) / 2;
}

// One dot per rule, stacked in its score range.
std::string Dots(const Bins& bins, const Axes& axes) {
  std::string svg;
  const std::string radius = SvgCoordinate(DotRadius(bins, axes));
  for (std::size_t bin = 0; bin < bins.settings.size(); ++bin) {
    const int rules = bins.settings[bin];
    if (rules == 0)
      continue;
    const std::string x = SvgCoordinate(BarMiddle(bins, axes, bin));
    svg += "<g class=\"dots\"><title>" + FormatInt(rules) + " 通り</title>";
    for (int rule = 0; rule < rules; ++rule) {
      svg += "<circle cx=\"" + x + "\" cy=\"" + SvgCoordinate(axes.Y(rule + 0.5)) + "\" r=\"" +
             radius + "\"/>";
    }
    svg += "</g>\n";
  }
  return svg;
}

std::string CountAxis(const Axes& axes, const PlotShape& shape) {
  std::string svg;
  for (double count = 0; count <= axes.top(); count += axes.countStep()) {
    const double y = axes.Y(count);
    svg += SvgLine("grid", shape.left, y, shape.width - shape.right, y);
    svg += SvgText("tick", shape.left - 6, y + 5, "end",
                   FormatInt(static_cast<long long>(std::llround(count))));
  }
  svg += "<text class=\"axis\" transform=\"translate(" + SvgCoordinate(kAxisTitleX) + " " +
         SvgCoordinate(shape.top + axes.PlotHeight() / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">ルールの数</text>\n";
  return svg;
}

std::string ScoreAxis(const Bins& bins, const Axes& axes, const PlotShape& shape) {
  std::string svg;
  const double firstHits = static_cast<double>(bins.start) / kPerHit;
  const double lastHits = static_cast<double>(bins.end()) / kPerHit;
  const double step = NiceStep(lastHits - firstHits, shape.width > 600 ? 8 : 4);
  for (double hits = std::ceil(firstHits / step) * step; hits <= lastHits + step / 1000;
       hits += step) {
    const double x = axes.X(hits * kPerHit);
    svg += SvgLine(std::abs(hits) < step / 2 ? "zero" : "grid", x, shape.top, x, axes.PlotBottom());
    svg += SvgText("tick", x, axes.PlotBottom() + 20, "middle", TickLabel(hits, step));
  }
  svg += SvgText("axis", shape.left + axes.PlotWidth() / 2, shape.height - 6, "middle",
                 "学習での当選−期待値（回）");
  return svg;
}

// A mark's line from its label above the plot down to the axis, or to just
// above the dots of its own bar where it would cross them; the label on the
// side where it has room.
std::string Mark(const Bins& bins, const Axes& axes, const PlotShape& shape, std::int64_t at,
                 std::string_view cssClass, std::string_view label, double labelY) {
  const double x = axes.X(static_cast<double>(at));
  const auto bin = static_cast<std::size_t>((at - bins.start) / bins.width);
  const double radius = DotRadius(bins, axes);
  double end = axes.PlotBottom();
  if (std::abs(x - BarMiddle(bins, axes, bin)) < radius + kBarGap)
    end = axes.Y(bins.settings[bin]) - kBarGap;
  const bool rightHalf = x > shape.left + axes.PlotWidth() / 2;
  return SvgLine("mark " + std::string(cssClass), x, labelY + 4, x, end) +
         SvgText(cssClass, rightHalf ? x - 4 : x + 4, labelY, rightHalf ? "end" : "start", label);
}

}  // namespace

std::string ScoreHistogramSvg(const std::vector<std::int32_t>& excessThousandths,
                              HistogramMarks marks, const PlotShape& shape,
                              std::string_view cssClass) {
  const Bins bins = Tally(excessThousandths, marks, static_cast<int>(shape.width / kBarSpacing));
  const Axes axes(bins, shape);
  std::string svg = "<svg class=\"" + std::string(cssClass) + "\" viewBox=\"0 0 " +
                    SvgCoordinate(shape.width) + " " + SvgCoordinate(shape.height) +
                    "\" role=\"img\" aria-label=\"ルールごとの学習での成績の分布\" "
                    "xmlns=\"http://www.w3.org/2000/svg\">\n";
  svg += CountAxis(axes, shape);
  svg += ScoreAxis(bins, axes, shape);
  svg += Dots(bins, axes);
  // Both labels above the plot, one row each, clear of the dots.
  svg += Mark(bins, axes, shape, marks.current, "current", "今の設定", shape.top - kLabelRow - 8);
  svg += Mark(bins, axes, shape, marks.best, "best", "見つけた設定", shape.top - 8);
  svg += "<rect class=\"frame\" x=\"" + SvgCoordinate(shape.left) + "\" y=\"" +
         SvgCoordinate(shape.top) + "\" width=\"" + SvgCoordinate(axes.PlotWidth()) +
         "\" height=\"" + SvgCoordinate(axes.PlotHeight()) + "\"/>\n";
  return svg + "</svg>\n";
}

}  // namespace kitebar
