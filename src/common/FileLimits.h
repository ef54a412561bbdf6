#pragma once

#include <cstddef>

namespace kitebar {

// The largest file that each reader accepts: far above any real one (about
// ten times the file of a history of 9,999 draws), so that a link to a device
// or a runaway file is refused with a message instead of filling the memory.
inline constexpr std::size_t kMaxHistoryFileBytes = std::size_t{2} << 20;   // 9,999 draws: 160 KB
inline constexpr std::size_t kMaxBackTestFileBytes = std::size_t{2} << 20;  // 9,999 entries: 100 KB
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{64} << 10;  // a real one: < 1 KB
inline constexpr std::size_t kMaxResultsCsvBytes = std::size_t{8} << 20;     // 9,999 draws: 200 KB
// The prediction record: about 55,000 entries, decades of draws.
inline constexpr std::size_t kMaxPredictionRecordBytes = std::size_t{8} << 20;

}  // namespace kitebar
