#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/Evaluation.h"

namespace kitebar {

// The drawing's size and the room around the plot for the labels, in the
// drawing's own units; the drawing scales to its container's width.
struct PlotShape {
  double width;
  double height;
  double left;
  double right;
  double top;
  double bottom;
};
// For a desktop window, and for a phone held upright: the page shows one or
// the other, so that the labels keep a readable size.
inline constexpr PlotShape kWidePlot{800, 250, 80, 16, 36, 54};
inline constexpr PlotShape kNarrowPlot{420, 300, 62, 10, 36, 54};

// A step of 1, 2 or 5 times a power of ten that cuts `span` into about
// `parts` pieces: for the ticks of an axis.
double NiceStep(double span, int parts);

// Where a value axis from `low` to `high` is labelled: the multiples of a
// step of 1, 2 or 5 times a power of ten, the largest that leaves at least
// three of them inside, so that every span reads.
std::vector<double> AxisTicks(double low, double high);

// A tick's label: "0", or the value with its sign and as many decimals as
// `step` needs to tell neighbouring ticks apart.
std::string TickLabel(double value, double step);

// Pieces of the drawings, at drawing coordinates (one decimal).
std::string SvgCoordinate(double value);
std::string SvgLine(std::string_view cssClass, double x1, double y1, double x2, double y2);
std::string SvgText(std::string_view cssClass, double x, double y, std::string_view anchor,
                    std::string_view text);

// One kind's course as an inline SVG drawing: hits less expected hits after
// each draw over the dark grey band of the central 95 % of chance alone at
// each draw and the light band that holds a whole course of chance in 95 %
// of histories, with the zero line, labelled axes, draw numbers and a
// legend of the bands.
std::string CoursePlotSvg(const std::vector<CoursePoint>& course, std::string_view title,
                          std::string_view lineColour, const PlotShape& shape,
                          std::string_view cssClass);

}  // namespace kitebar
