#include "engine/CandidateSets.h"

#include <algorithm>
#include <bitset>
#include <vector>

namespace kitebar {
namespace {

constexpr std::array<int, 3> DigitsOf(int number) {
  return {number / 100, number / 10 % 10, number % 10};
}

// The class of each number: its digits sorted, numbered in the order of the
// sorted triples.
struct BoxClassTable {
  std::array<std::uint8_t, kNumberCount> classOf{};
  std::array<std::uint8_t, kBoxClassCount> size{};
};

constexpr BoxClassTable MakeBoxClassTable() {
  BoxClassTable table;
  std::array<int, kNumberCount> classOfSorted{};
  int next = 0;
  for (int low = 0; low <= 9; ++low) {
    for (int middle = low; middle <= 9; ++middle) {
      for (int high = middle; high <= 9; ++high)
        classOfSorted[static_cast<std::size_t>(low * 100 + middle * 10 + high)] = next++;
    }
  }
  for (int number = 0; number < kNumberCount; ++number) {
    std::array<int, 3> digits = DigitsOf(number);
    std::sort(digits.begin(), digits.end());
    const int boxClass =
        classOfSorted[static_cast<std::size_t>(digits[0] * 100 + digits[1] * 10 + digits[2])];
    table.classOf[static_cast<std::size_t>(number)] = static_cast<std::uint8_t>(boxClass);
    ++table.size[static_cast<std::size_t>(boxClass)];
  }
  return table;
}

constexpr BoxClassTable kBoxClasses = MakeBoxClassTable();

// The steps from sector `from` forward to sector `to`, 0 to 9.
constexpr int StepsBetween(int from, int to) {
  return (to - from + 10) % 10;
}

constexpr int StepCodeOfSectors(int hundreds, int tens, int units) {
  return 10 * StepsBetween(hundreds, tens) + StepsBetween(tens, units);
}

}  // namespace

int BoxClassOf(int number) {
  return kBoxClasses.classOf[static_cast<std::size_t>(number)];
}

int BoxClassSize(int boxClass) {
  return kBoxClasses.size[static_cast<std::size_t>(boxClass)];
}

int StepCodeOfNumber(int number) {
  const std::array<int, 3> digits = DigitsOf(number);
  return StepCodeOfSectors(SectorOfDigit(kHundreds, digits[0]), SectorOfDigit(kTens, digits[1]),
                           SectorOfDigit(kUnits, digits[2]));
}

WinningShape WinningShapeOf(int number) {
  WinningShape shape;
  const int code = StepCodeOfNumber(number);
  shape.stepCode = static_cast<std::uint8_t>(code);
  shape.tensToUnits = static_cast<std::uint8_t>(code % 10);
  std::array<int, 3> digits = DigitsOf(number);
  std::sort(digits.begin(), digits.end());
  do {
    const auto ordering =
        static_cast<unsigned>(StepCodeOfNumber(digits[0] * 100 + digits[1] * 10 + digits[2]));
    shape.permutationCodes[ordering / 64] |= std::uint64_t{1} << (ordering % 64);
  } while (std::next_permutation(digits.begin(), digits.end()));
  return shape;
}

ChanceLevels ChanceLevelsOf(std::span<const int> candidates) {
  std::bitset<kNumberCount> numbers;
  std::bitset<kNumberCount / 10> minis;
  std::bitset<kBoxClassCount> classes;
  // Every candidate lies in its own class, so the permutations that are no
  // candidate are the classes' sizes less the distinct candidates.
  int permutations = 0;
  for (const int number : candidates) {
    numbers.set(static_cast<std::size_t>(number));
    minis.set(static_cast<std::size_t>(number % 100));
    const int boxClass = BoxClassOf(number);
    if (!classes.test(static_cast<std::size_t>(boxClass))) {
      classes.set(static_cast<std::size_t>(boxClass));
      permutations += BoxClassSize(boxClass);
    }
  }
  const auto distinct = static_cast<int>(numbers.count());
  return {distinct, permutations - distinct,
          static_cast<int>(minis.count()) * (kChanceDenominator / (kNumberCount / 10))};
}

const CandidateSets& CandidateSets::Get() {
  static const CandidateSets sets;
  return sets;
}

CandidateSets::CandidateSets() {
  for (int key = 0; key < kNumberCount; ++key) {
    const std::array<int, 3> first = DigitsOf(key);
    for (int k = 0; k < 10; ++k) {
      numbers_[static_cast<std::size_t>(key)][static_cast<std::size_t>(k)] =
          static_cast<std::int16_t>(DigitAtSector(kHundreds, (first[0] + k) % 10) * 100 +
                                    DigitAtSector(kTens, (first[1] + k) % 10) * 10 +
                                    DigitAtSector(kUnits, (first[2] + k) % 10));
    }
    const int code = StepCodeOfSectors(first[0], first[1], first[2]);
    codes_[static_cast<std::size_t>(key)] = {static_cast<std::uint8_t>(code),
                                             static_cast<std::uint8_t>(code % 10)};
  }
  std::array<std::vector<int>, kStepCodeCount> members;
  for (int number = 0; number < kNumberCount; ++number)
    members[static_cast<std::size_t>(StepCodeOfNumber(number))].push_back(number);
  for (int code = 0; code < kStepCodeCount; ++code)
    chances_[static_cast<std::size_t>(code)] =
        ChanceLevelsOf(members[static_cast<std::size_t>(code)]);
}

}  // namespace kitebar
