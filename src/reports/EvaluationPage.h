#pragma once

#include <filesystem>
#include <string>

#include "common/Status.h"
#include "engine/Evaluation.h"
#include "engine/RecordScore.h"

namespace kitebar {

inline constexpr char kEvaluationPage[] = "Kitebar_kensho.html";

// The verdict on one kind: "偶然と見分けがつきません" for a p-value of 0.05
// or more (which does not say that chance is the cause), else how unusual
// the count is, with the reminder that one evaluation of several crosses
// 0.05 by chance now and then.
std::string VerdictOf(double pValue);

// The page of an evaluation, in Japanese, UTF-8 and declared so: a row per
// kind with its one-sided bound and verdict (and the whole history beside a
// chosen range), the course of hits less expected hits against the band of
// each draw and the band of the whole course as inline SVG, and the five
// sets side by side with what their fifteen p-values mean together. No script and
// nothing to download; it reads at desktop and at phone width. With `live`,
// the live score of the prediction record comes first, apart from the
// replayed figures (see LiveRecordSection).
std::string BuildEvaluationPage(const Evaluation& evaluation, const LiveScore* live = nullptr);

// Writes the page to `file`, replacing it atomically.
Status WriteEvaluationPage(const std::filesystem::path& file, const Evaluation& evaluation,
                           const LiveScore* live = nullptr);

}  // namespace kitebar
