#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/CoursePlot.h"

namespace kitebar {

// For a desktop window and for a phone held upright, as the course plots.
// The room above the plot holds the two marks' labels, one row each.
inline constexpr PlotShape kWideHistogram{800, 296, 70, 16, 46, 54};
inline constexpr PlotShape kNarrowHistogram{420, 316, 66, 12, 46, 54};

// Where the best rule and the current set's rule lie, in thousandths of a hit.
struct HistogramMarks {
  std::int64_t best = 0;
  std::int64_t current = 0;
};

// The scores (hits less expected hits, in thousandths) of every rule as an
// inline SVG drawing: one dot per rule, stacked per score range, labelled
// axes, the line of chance (0) and the two marks.
std::string ScoreHistogramSvg(const std::vector<std::int32_t>& excessThousandths,
                              HistogramMarks marks, const PlotShape& shape,
                              std::string_view cssClass);

}  // namespace kitebar
