#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/WheelLayout.h"

namespace kitebar {

// The numbers of a Numbers 3 draw, 000 to 999.
inline constexpr int kNumberCount = 1000;
// Chances are counted in thousandths: a winning number drawn uniformly from
// 000 to 999 hits a set of k numbers with chance k / 1000.
inline constexpr int kChanceDenominator = 1000;

// How likely a winning number drawn uniformly from 000 to 999 hits a
// candidate set by chance, per kind, in thousandths.
struct ChanceLevels {
  int straight = 0;  // the distinct candidates
  int box = 0;       // the permutations of candidates that are no candidate themselves
  int mini = 0;      // ten per distinct pair of tens and units (one pair: 1/100)

  bool operator==(const ChanceLevels&) const = default;
};

// The chance levels of any set of numbers 000 to 999 (repeats allowed).
ChanceLevels ChanceLevelsOf(std::span<const int> candidates);

// Box classes: the 220 multisets of three digits. Two numbers are
// permutations of each other exactly when they share a class.
inline constexpr int kBoxClassCount = 220;
int BoxClassOf(int number);
// How many numbers a class holds: 1 (777), 3 (112) or 6 (123).
int BoxClassSize(int boxClass);

// In each place the ten candidates of a draw run through ten consecutive
// wheel sectors, one step per candidate. So a number is a candidate exactly
// when its digits lie as many sectors apart, from hundreds to tens and from
// tens to units, as the candidates' digits do: the step code, 10 x the steps
// from hundreds to tens + the steps from tens to units, names the candidate
// set, and there are only 100 of them. Which candidate comes first only
// orders the set; the sectors of candidate 1 (100 x hundreds + 10 x tens +
// units) are its key.
inline constexpr int kStepCodeCount = 100;
int StepCodeOfNumber(int number);

// What the comparison needs of a winning number.
struct WinningShape {
  std::uint8_t stepCode = 0;
  std::uint8_t tensToUnits = 0;  // the step code's units: what a mini needs
  // Bit c set when some ordering of the number's digits has step code c.
  std::array<std::uint64_t, 2> permutationCodes{};
};
WinningShape WinningShapeOf(int number);

// What one draw's winning number hit among the candidates offered.
struct DrawOutcome {
  bool straight = false;
  bool box = false;  // a permutation of a candidate that is not a straight
  bool mini = false;
};

// A candidate set by its step code, with the code's units apart.
struct SetCode {
  std::uint8_t stepCode = 0;
  std::uint8_t tensToUnits = 0;
};

// The winning number against a candidate set: a straight when it is one of
// the set, a mini when its tens and units step as the set's do, a box when
// another ordering of its digits is in the set.
inline DrawOutcome Compare(const SetCode& set, const WinningShape& winning) {
  const unsigned code = set.stepCode;
  DrawOutcome outcome;
  outcome.straight = winning.stepCode == code;
  outcome.mini = winning.tensToUnits == set.tensToUnits;
  outcome.box = !outcome.straight && ((winning.permutationCodes[code / 64] >> (code % 64)) & 1u);
  return outcome;
}

// The tables of every candidate set; they depend on no setting and are
// built once.
class CandidateSets {
 public:
  static const CandidateSets& Get();

  // Candidate k (0 to 9) of the set whose candidate 1 has sectors `key`.
  int Candidate(int key, int k) const {
    return numbers_[static_cast<std::size_t>(key)][static_cast<std::size_t>(k)];
  }
  const SetCode& Code(int key) const { return codes_[static_cast<std::size_t>(key)]; }
  const ChanceLevels& Chances(int stepCode) const {
    return chances_[static_cast<std::size_t>(stepCode)];
  }

 private:
  CandidateSets();

  std::array<std::array<std::int16_t, 10>, kNumberCount> numbers_{};
  std::array<SetCode, kNumberCount> codes_{};
  std::array<ChanceLevels, kStepCodeCount> chances_{};
};

}  // namespace kitebar
