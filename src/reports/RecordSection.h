#pragma once

#include <string>

#include "engine/RecordScore.h"

namespace kitebar {

// The most recent recorded predictions listed one by one on the page.
inline constexpr int kListedRecordEntries = 30;

// The section 「記録された予想の成績」 of the evaluation page: the predictions
// as they were recorded before their draws, kept apart from the replayed
// figures below it: whether the record is whole, the counts, a row per kind
// against chance, the course of each kind, and the latest entries. When the
// record is empty it says how it grows.
std::string LiveRecordSection(const LiveScore& score);

}  // namespace kitebar
