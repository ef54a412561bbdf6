#include "reports/CoursePlot.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"

namespace kitebar {

double NiceStep(double span, int parts) {
  const double rough = std::max(span, 1e-9) / parts;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= rough)
      return factor * power;
  }
  return 10 * power;
}

namespace {

constexpr int kFewestTicks = 3;

// The multiples of `step` from `low` to `high`.
std::vector<double> MultiplesBetween(double low, double high, double step) {
  std::vector<double> values;
  const double slack = step * 1e-9;
  for (double index = std::ceil((low - slack) / step); index * step <= high + slack; ++index)
    values.push_back(index * step);
  return values;
}

// The next step of 1, 2 or 5 times a power of ten below `step`.
double SmallerStep(double step) {
  const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double factor = std::round(step / power);
  return factor >= 5 ? 2 * power : (factor >= 2 ? power : power / 2);
}

}  // namespace

std::vector<double> AxisTicks(double low, double high) {
  double step = NiceStep(high - low, 4);
  std::vector<double> ticks = MultiplesBetween(low, high, step);
  while (static_cast<int>(ticks.size()) < kFewestTicks && high > low) {
    step = SmallerStep(step);
    ticks = MultiplesBetween(low, high, step);
  }
  return ticks;
}

std::string TickLabel(double value, double step) {
  if (std::abs(value) < step / 2)
    return "0";
  const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
  return (value > 0 ? "+" : "−") + FormatFixed(std::abs(value), decimals);
}

std::string SvgCoordinate(double value) {
  return FormatFixed(value, 1);
}

std::string SvgLine(std::string_view cssClass, double x1, double y1, double x2, double y2) {
  return "<line class=\"" + std::string(cssClass) + "\" x1=\"" + SvgCoordinate(x1) + "\" y1=\"" +
         SvgCoordinate(y1) + "\" x2=\"" + SvgCoordinate(x2) + "\" y2=\"" + SvgCoordinate(y2) +
         "\"/>\n";
}

std::string SvgText(std::string_view cssClass, double x, double y, std::string_view anchor,
                    std::string_view text) {
  return "<text class=\"" + std::string(cssClass) + "\" x=\"" + SvgCoordinate(x) + "\" y=\"" +
         SvgCoordinate(y) + "\" text-anchor=\"" + std::string(anchor) + "\">" + std::string(text) +
         "</text>\n";
}

namespace {

// Maps draw numbers and excess values into the plot area of a shape.
class Frame {
 public:
  Frame(const std::vector<CoursePoint>& course, const PlotShape& shape) : shape_(shape) {
    firstDraw_ = course.front().drawNumber;
    lastDraw_ = std::max(course.back().drawNumber, firstDraw_ + 1);
    for (const CoursePoint& point : course) {
      low_ = std::min({low_, point.low, point.allLow, point.excess});
      high_ = std::max({high_, point.high, point.allHigh, point.excess});
    }
    const double margin = std::max((high_ - low_) * 0.06, 0.5);
    low_ -= margin;
    high_ += margin;
  }

  double X(double draw) const {
    return shape_.left + (draw - firstDraw_) / (lastDraw_ - firstDraw_) * PlotWidth();
  }
  double Y(double value) const {
    return shape_.top + (high_ - value) / (high_ - low_) * PlotHeight();
  }
  double PlotWidth() const { return shape_.width - shape_.left - shape_.right; }
  double PlotHeight() const { return shape_.height - shape_.top - shape_.bottom; }
  double PlotBottom() const { return shape_.height - shape_.bottom; }

  const PlotShape& shape() const { return shape_; }
  int firstDraw() const { return firstDraw_; }
  int lastDraw() const { return lastDraw_; }
  double low() const { return low_; }
  double high() const { return high_; }

 private:
  const PlotShape& shape_;
  int firstDraw_ = 0;
  int lastDraw_ = 0;
  double low_ = 0;
  double high_ = 0;
};

std::string Point(const Frame& frame, double draw, double value) {
  return SvgCoordinate(frame.X(draw)) + "," + SvgCoordinate(frame.Y(value)) + " ";
}

// The band between two of a point's values, as one polygon.
template <typename Low, typename High>
std::string Band(const Frame& frame, const std::vector<CoursePoint>& course,
                 std::string_view cssClass, Low low, High high) {
  std::string points;
  for (const CoursePoint& point : course)
    points += Point(frame, point.drawNumber, high(point));
  for (auto point = course.rbegin(); point != course.rend(); ++point)
    points += Point(frame, point->drawNumber, low(*point));
  return "<polygon class=\"" + std::string(cssClass) + "\" points=\"" + points + "\"/>\n";
}

std::string Line(const Frame& frame, const std::vector<CoursePoint>& course,
                 std::string_view colour) {
  std::string points;
  for (const CoursePoint& point : course)
    points += Point(frame, point.drawNumber, point.excess);
  return "<polyline class=\"course\" stroke=\"" + std::string(colour) + "\" points=\"" + points +
         "\"/>\n";
}

std::string ValueAxis(const Frame& frame) {
  std::string svg;
  const PlotShape& shape = frame.shape();
  const std::vector<double> ticks = AxisTicks(frame.low(), frame.high());
  const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1;
  for (const double value : ticks) {
    const double y = frame.Y(value);
    svg += SvgLine(std::abs(value) < step / 2 ? "zero" : "grid", shape.left, y,
                   shape.width - shape.right, y);
    svg += SvgText("tick", shape.left - 6, y + 5, "end", TickLabel(value, step));
  }
  svg += "<text class=\"axis\" transform=\"translate(18 " +
         SvgCoordinate(shape.top + frame.PlotHeight() / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">当選−期待値（回）</text>\n";
  return svg;
}

std::string DrawAxis(const Frame& frame) {
  std::string svg;
  const PlotShape& shape = frame.shape();
  // Draw numbers are whole: a step below one would repeat them.
  const double step = std::max(1.0, NiceStep(frame.lastDraw() - frame.firstDraw(), 5));
  for (double draw = std::ceil(frame.firstDraw() / step) * step; draw <= frame.lastDraw();
       draw += step) {
    const double x = frame.X(draw);
    svg += SvgLine("grid", x, shape.top, x, frame.PlotBottom());
    svg += SvgText("tick", x, frame.PlotBottom() + 20, "middle",
                   FormatInt(static_cast<long long>(draw)));
  }
  svg += SvgText("axis", shape.left + frame.PlotWidth() / 2, shape.height - 6, "middle", "抽選回");
  return svg;
}

}  // namespace

std::string CoursePlotSvg(const std::vector<CoursePoint>& course, std::string_view title,
                          std::string_view lineColour, const PlotShape& shape,
                          std::string_view cssClass) {
  std::string svg = "<svg class=\"" + std::string(cssClass) + "\" viewBox=\"0 0 " +
                    SvgCoordinate(shape.width) + " " + SvgCoordinate(shape.height) +
                    "\" role=\"img\" aria-label=\"" + std::string(title) +
                    "の当選−期待値の推移\" xmlns=\"http://www.w3.org/2000/svg\">\n";
  svg += "<text class=\"title\" x=\"" + SvgCoordinate(shape.left) + "\" y=\"24\" fill=\"" +
         std::string(lineColour) + "\">" + std::string(title) + "</text>\n";
  svg += SvgText("legend", shape.width - shape.right, 24, "end", "濃い帯：回ごと　薄い帯：全体");
  if (course.empty())
    return svg + "</svg>\n";
  const Frame frame(course, shape);
  svg += Band(
      frame, course, "allband", [](const CoursePoint& p) { return p.allLow; },
      [](const CoursePoint& p) { return p.allHigh; });
  svg += Band(
      frame, course, "band", [](const CoursePoint& p) { return p.low; },
      [](const CoursePoint& p) { return p.high; });
  svg += ValueAxis(frame);
  svg += DrawAxis(frame);
  svg += Line(frame, course, lineColour);
  svg += "<rect class=\"frame\" x=\"" + SvgCoordinate(shape.left) + "\" y=\"" +
         SvgCoordinate(shape.top) + "\" width=\"" + SvgCoordinate(frame.PlotWidth()) +
         "\" height=\"" + SvgCoordinate(frame.PlotHeight()) + "\"/>\n";
  return svg + "</svg>\n";
}

}  // namespace kitebar
