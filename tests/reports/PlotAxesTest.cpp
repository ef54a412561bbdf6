#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "reports/CoursePlot.h"
#include "reports/ScoreHistogram.h"

namespace kitebar {
namespace {

struct Tick {
  double y;
  std::string label;
};

// The labels of a drawing's value axis: the tick texts that end at its left.
std::vector<Tick> ValueAxisTicks(const std::string& svg) {
  static const std::regex tick(
      R"re(<text class="tick" x="[-0-9.]+" y="([-0-9.]+)" text-anchor="end">([^<]*)</text>)re");
  std::vector<Tick> ticks;
  for (auto match = std::sregex_iterator(svg.begin(), svg.end(), tick);
       match != std::sregex_iterator(); ++match) {
    ticks.push_back({std::stod((*match)[1]) - 5, (*match)[2]});
  }
  return ticks;
}

// At least three ticks, each inside the plot and each labelled differently.
void ExpectReadableAxis(const std::string& svg, const PlotShape& shape, const std::string& what) {
  const std::vector<Tick> ticks = ValueAxisTicks(svg);
  EXPECT_GE(ticks.size(), 3u) << what;
  std::set<std::string> labels;
  for (const Tick& tick : ticks) {
    EXPECT_GE(tick.y, shape.top - 0.05) << what;
    EXPECT_LE(tick.y, shape.height - shape.bottom + 0.05) << what;
    labels.insert(tick.label);
  }
  EXPECT_EQ(labels.size(), ticks.size()) << what;
}

// A course whose values run over `span` from `low`, for spans from a
// hundredth of a hit to ten thousand hits, at several offsets from zero.
TEST(PlotAxes, CourseValueAxisReadsForEverySpan) {
  for (double span = 0.01; span < 1e4; span *= 1.17) {
    for (const double offset : {-1.0, -0.55, -0.37, 0.0, 0.21}) {
      const double low = offset * span;
      const std::vector<CoursePoint> course{{2, low, low, low + span / 2, low, low + span / 2},
                                            {900, low + span, low, low + span, low, low + span}};
      for (const PlotShape& shape : {kWidePlot, kNarrowPlot}) {
        ExpectReadableAxis(CoursePlotSvg(course, "ボックス", "#000", shape, "wide"), shape,
                           "span " + std::to_string(span) + " from " + std::to_string(low));
      }
    }
  }
}

// The rules' counts of a histogram from a lone rule to a hundred in one bar.
TEST(PlotAxes, HistogramCountAxisReadsForEveryHeight) {
  for (int tallest = 1; tallest <= 100; ++tallest) {
    std::vector<std::int32_t> scores(static_cast<std::size_t>(tallest), 1500);
    scores.push_back(-4000);
    for (const PlotShape& shape : {kWideHistogram, kNarrowHistogram}) {
      ExpectReadableAxis(ScoreHistogramSvg(scores, {1500, -4000}, shape, "wide"), shape,
                         "tallest " + std::to_string(tallest));
    }
  }
}

}  // namespace
}  // namespace kitebar
