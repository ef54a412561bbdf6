#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kitebar {

// The queue of result pages that the import reads, in reading order: archive
// pages "num%04d.html" (block layout), then recent pages "num3-h%s.html"
// (heading layout), each name once.
inline constexpr std::size_t kMaxQueuedPages = 1000;

// Builds the page queue from the index page's text for a history whose last
// complete draw is `startCount`. Nothing when the page lacks the past-data
// marker.
std::optional<std::vector<std::string>> BuildPageQueue(std::string_view indexText, int startCount);

// Whether a page name is read in the block layout (archive pages) rather than
// the heading layout.
bool UsesBlockLayout(std::string_view pageName);

}  // namespace kitebar
