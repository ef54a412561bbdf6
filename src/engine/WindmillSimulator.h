#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Status.h"
#include "engine/WheelLayout.h"
#include "settings/SettingsFiles.h"

namespace kitebar {

class DrawHistory;

inline constexpr int kCandidateCount = 10;

// Four places (thousands, hundreds, tens, units) by ten 16-bit entries.
// Candidate k (1 to 10) is entry k - 1 of the hundreds, tens and units rows.
using CandidateTable = std::array<std::array<std::uint16_t, kCandidateCount>, kPlaceTableSize>;

// One saved windmill setting set ("./type1.ini" to "./type5.ini"), per place
// in table order.
struct SettingsType {
  std::array<char, 8> stopConstant{};  // up to 7 characters and a NUL
  std::array<float, kPlaceTableSize> startToReach{};
  std::array<float, kPlaceTableSize> startToHit{};
  std::array<std::int32_t, kPlaceTableSize> speedOffset{};
};

// The speed offset of a stored speed index: 0 to 3 give -2 to +1, every other
// value +2.
int SpeedOffsetOfIndex(int speedIndex);

// Reads set `index` (0 to 4) from its file as the engine reads it.
SettingsType ReadSettingsType(int index);

// The set that a run uses for a type index: "StartIndex" is never
// range-checked when it is written by hand, and a number outside 0 to 4 must
// not reach a set that does not exist, so it means set 0.
int UsableSettingsTypeIndex(int index);

// The engine's work object: one windmill per digit place. A run creates one,
// sets `drawNumber`, calls RunDraws and/or PredictCandidates, takes the
// results out of the fields and discards it. The object is large (about
// 160 KB): create it on the heap.
class WindmillSimulator {
 public:
  static constexpr std::size_t kPositionCapacity = 40000;
  static constexpr std::size_t kDrawTableCapacity = 10000;
  // A run needs one known draw before the one it works on, and the draw
  // table and the four-digit draw numbers end at 9999.
  static constexpr int kFirstRunnableDraw = 2;
  static constexpr int kLastRunnableDraw = 9999;

  using PositionArray = std::array<char, kPositionCapacity>;

  // Sets the initial values and loads the five setting sets.
  WindmillSimulator();
  WindmillSimulator(const WindmillSimulator&) = delete;
  WindmillSimulator& operator=(const WindmillSimulator&) = delete;
  virtual ~WindmillSimulator() = default;

  static bool IsRunnableDraw(int drawNumber) {
    return drawNumber >= kFirstRunnableDraw && drawNumber <= kLastRunnableDraw;
  }
  // The three characters of triple `t` of a position array.
  static std::string_view Triple(const PositionArray& positions, int t) {
    return std::string_view(positions.data() + static_cast<std::size_t>(t) * kPlacesPerTriple,
                            kPlacesPerTriple);
  }

  // Reads "./type1.ini" to "./type5.ini" into `types`.
  void LoadSettingsTypes();
  // Makes set `index` the current parameters.
  void SelectSettingsType(int index);
  // Triples 0 to n - 2 of `winningPositions` from the winning digits of draws
  // 1 to n - 1, as wheel positions.
  void LoadWinningPositions(const DrawHistory& history, int n);
  // Triples 0 to n - 2 of `estimatedPositions` and `winningPositions` from
  // wheel positions back to digits.
  void PositionsToDigits(int n);

  // Estimates the windmill position of draw `drawNumber` (single mode, with
  // set `typeIndex`) or of every draw 2 to `drawNumber` (all draws, with the
  // "./base.ini" start set). Refuses a `drawNumber` outside 2 to 9999.
  Status RunDraws(const DrawHistory& history, bool allDraws, int typeIndex);
  // Start positions of draw i from the winning positions of draw i - 1.
  void ComputeStartPosition(int i);
  // The hit shifts of hundreds, tens and units; false at the first place whose
  // start-to-reach or start-to-hit value is out of range (that place and the
  // later ones keep their previous shifts).
  bool ComputeHitShift();
  // The candidate table, as wheel positions, from the wheel positions h, t, u.
  void MakeCandidates(std::uint16_t h, std::uint16_t t, std::uint16_t u);
  // The ten candidates of `inputPosition` (digit characters) as digit
  // characters in the hundreds, tens and units rows of `candidates`.
  void PredictCandidates(int typeIndex);

  std::array<std::uint16_t, kPlacesPerTriple> inputPosition{};
  CandidateTable candidates{};
  std::array<std::int8_t, kPlaceTableSize> hitShift{};
  PositionArray startPositions;
  PositionArray estimatedPositions;
  PositionArray winningPositions{};
  std::int32_t drawNumber = 0;
  std::array<std::int32_t, kDrawTableCapacity> typeOfDraw{};
  std::array<std::int32_t, kPlaceTableSize> speedOffset{};
  std::array<char, 8> stopConstant{};
  std::array<float, kPlaceTableSize> startToHit{};
  std::array<float, kPlaceTableSize> startToReach{};
  std::int32_t stepNum;
  float targetDiameter;
  std::array<SettingsType, kSettingsTypeCount> types{};

 private:
  // The inputs and outcome of the last hit-shift computation. The same inputs
  // always give the same shifts, so while the inputs and the shifts stand as
  // it left them, the computation is not repeated: the all-draws run would
  // otherwise redo it identically for each of up to 9,998 draws.
  struct HitShiftMemo {
    bool valid = false;
    float diameter = 0;
    int stepNum = 0;
    std::array<float, kPlaceTableSize> startToReach{};
    std::array<float, kPlaceTableSize> startToHit{};
    std::array<std::int8_t, kPlaceTableSize> hitShift{};
    bool inRange = false;
  };

  bool HitShiftInputsUnchanged(float diameter, int steps) const;
  int StopConstantDigit(Place place) const;
  void EstimateFromStart(int i);

  HitShiftMemo hitShiftMemo_;
};

}  // namespace kitebar
