#include "history/HistoryRun.h"

#include <algorithm>
#include <compare>
#include <map>
#include <numeric>

#include "common/NumberText.h"

namespace kitebar {
namespace {

constexpr int kLastDraw = 9999;

// How well a run of lines ending (or starting) at a line fits: first its
// length, then how many of its lines hold a winning number.
struct Fit {
  int length = 0;
  int complete = 0;
  auto operator<=>(const Fit&) const = default;
  Fit operator+(const Fit& other) const {
    return {length + other.length, complete + other.complete};
  }
  Fit operator-(const Fit& other) const {
    return {length - other.length, complete - other.complete};
  }
};

// The best fit among the draws 1 to n, as draws are added in any order.
class BestFitBelow {
 public:
  BestFitBelow() : tree_(kLastDraw + 1) {}
  Fit Best(int n) const {
    Fit best;
    for (; n > 0; n -= n & -n)
      best = std::max(best, tree_[static_cast<std::size_t>(n)]);
    return best;
  }
  void Raise(int n, Fit fit) {
    for (; n <= kLastDraw; n += n & -n)
      tree_[static_cast<std::size_t>(n)] = std::max(tree_[static_cast<std::size_t>(n)], fit);
  }

 private:
  std::vector<Fit> tree_;
};

bool SameRecord(const DrawRecord& a, const DrawRecord& b) {
  return a.number == b.number && a.digits == b.digits && a.position == b.position &&
         a.status == b.status;
}

// Whether line i can stand in one run with line k.
bool FitTogether(std::span<const HistoryFileLine> lines, std::size_t i, std::size_t k) {
  return i == k || (i < k ? lines[i].draw < lines[k].draw : lines[i].draw > lines[k].draw);
}

std::string LineRef(const HistoryFileLine& line) {
  return FormatInt(line.line) + " 行目「" + PrintableLine(line.bytes) + "」";
}

// The lines the user chose to keep, as indices.
Result<std::vector<std::size_t>> ChosenLines(std::span<const HistoryFileLine> lines,
                                             std::span<const int> keepLines) {
  std::vector<std::size_t> chosen;
  for (int n : keepLines) {
    const auto before = chosen.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].line == n && lines[i].readable())
        chosen.push_back(i);
    }
    if (chosen.size() == before) {
      return Status::Failure(FormatInt(n) +
                             " 行目は読み取れる回の行ではないため、残す行に指定できません。"
                             "repair が挙げた行番号を指定してください。");
    }
  }
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  for (std::size_t a = 0; a + 1 < chosen.size(); ++a) {
    if (!FitTogether(lines, chosen[a], chosen[a + 1])) {
      return Status::Failure(LineRef(lines[chosen[a]]) + "と" + LineRef(lines[chosen[a + 1]]) +
                             "は回が昇順に並ばないため、両方を残すことはできません。");
    }
  }
  return chosen;
}

bool AllReadableAndAscending(std::span<const HistoryFileLine> lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].readable() || (i > 0 && lines[i - 1].draw >= lines[i].draw))
      return false;
  }
  return true;
}

}  // namespace

std::size_t HistoryRun::FirstDamage(std::size_t lineCount) const {
  std::size_t first = lineCount;
  if (!left.empty())
    first = std::min(first, left.front().index);
  for (const std::vector<std::size_t>& choice : choices)
    first = std::min(first, choice.front());
  return first;
}

Result<HistoryRun> FindHistoryRun(std::span<const HistoryFileLine> lines,
                                  std::span<const int> keepLines) {
  const Result<std::vector<std::size_t>> chosen = ChosenLines(lines, keepLines);
  if (!chosen.ok())
    return chosen.status();
  const std::size_t n = lines.size();
  if (AllReadableAndAscending(lines)) {
    // The common case, read on every repaint: the whole file is the run.
    HistoryRun run;
    run.kept.resize(n);
    std::iota(run.kept.begin(), run.kept.end(), std::size_t{0});
    return run;
  }
  std::vector<bool> candidate(n);
  for (std::size_t i = 0; i < n; ++i) {
    candidate[i] =
        lines[i].readable() && std::all_of(chosen->begin(), chosen->end(),
                                           [&](std::size_t k) { return FitTogether(lines, i, k); });
  }
  // The best run ending at each line, and the best one starting there.
  std::vector<Fit> own(n), ending(n), starting(n);
  BestFitBelow below;
  for (std::size_t i = 0; i < n; ++i) {
    if (!candidate[i])
      continue;
    own[i] = {1, lines[i].complete() ? 1 : 0};
    ending[i] = below.Best(lines[i].draw - 1) + own[i];
    below.Raise(lines[i].draw, ending[i]);
  }
  BestFitBelow above;  // indexed by kLastDraw + 1 - draw
  for (std::size_t i = n; i-- > 0;) {
    if (!candidate[i])
      continue;
    starting[i] = above.Best(kLastDraw - lines[i].draw) + own[i];
    above.Raise(kLastDraw + 1 - lines[i].draw, starting[i]);
  }
  Fit best;
  for (std::size_t i = 0; i < n; ++i)
    best = std::max(best, ending[i]);

  // Every best run has one line at each place 1 to best.length: the lines
  // that some best run holds at that place.
  std::vector<std::vector<std::size_t>> places(static_cast<std::size_t>(best.length) + 1);
  for (std::size_t i = 0; i < n; ++i) {
    if (candidate[i] && ending[i] + starting[i] - own[i] == best)
      places[static_cast<std::size_t>(ending[i].length)].push_back(i);
  }
  HistoryRun run;
  std::vector<bool> placed(n);
  for (const std::vector<std::size_t>& place : places) {
    if (place.empty())
      continue;
    for (std::size_t i : place)
      placed[i] = true;
    const HistoryFileLine& first = lines[place.front()];
    const bool repeats = std::all_of(place.begin(), place.end(), [&](std::size_t i) {
      return lines[i].draw == first.draw && SameRecord(lines[i].parsed.record, first.parsed.record);
    });
    if (!repeats) {
      run.choices.push_back(place);
      continue;
    }
    run.kept.push_back(place.front());
    for (std::size_t i = 1; i < place.size(); ++i)
      run.left.push_back({place[i], HistoryRun::Reason::kRepeated, place.front()});
  }
  std::map<int, std::size_t> keptDraws;
  for (std::size_t i : run.kept)
    keptDraws.emplace(lines[i].draw, i);
  for (std::size_t i = 0; i < n; ++i) {
    if (placed[i])
      continue;
    HistoryRun::Left left{
        i, lines[i].readable() ? HistoryRun::Reason::kStray : HistoryRun::Reason::kUnreadable, 0};
    const auto same = keptDraws.find(lines[i].draw);
    if (lines[i].readable() && same != keptDraws.end()) {
      const HistoryFileLine& kept = lines[same->second];
      if (SameRecord(lines[i].parsed.record, kept.parsed.record))
        left = {i, HistoryRun::Reason::kRepeated, same->second};
      else if (!lines[i].complete() && kept.complete())
        left = {i, HistoryRun::Reason::kBeaten, same->second};
    }
    run.left.push_back(left);
  }
  std::sort(run.left.begin(), run.left.end(),
            [](const HistoryRun::Left& a, const HistoryRun::Left& b) { return a.index < b.index; });
  return run;
}

}  // namespace kitebar
