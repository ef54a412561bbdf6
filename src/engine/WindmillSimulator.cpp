#include "engine/WindmillSimulator.h"

#include <algorithm>
#include <bit>
#include <string>

#include "engine/WindmillArithmetic.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr int kLastSettingsType = kSettingsTypeCount - 1;

template <std::size_t N>
void CopyText(std::string_view text, std::array<char, N>& target) {
  target.fill('\0');
  std::copy_n(text.begin(), std::min(text.size(), N - 1), target.begin());
}

// The wheel layout's character mappings of every byte value, per place,
// looked up instead of worked out: the runs map each character of up to
// 9,998 draws.
struct CodeTables {
  std::array<std::array<char, 256>, kPlaceTableSize> toSector{};
  std::array<std::array<char, 256>, kPlaceTableSize> toDigit{};
};

constexpr CodeTables MakeCodeTables() {
  CodeTables tables;
  for (int place = 0; place < kPlaceTableSize; ++place) {
    for (int byte = 0; byte < 256; ++byte) {
      const int code = static_cast<signed char>(byte);
      const auto at = static_cast<std::size_t>(byte);
      tables.toSector[place][at] =
          static_cast<char>(DigitCodeToSectorCode(static_cast<Place>(place), code));
      tables.toDigit[place][at] =
          static_cast<char>(SectorCodeToDigitCode(static_cast<Place>(place), code));
    }
  }
  return tables;
}

constexpr CodeTables kCodeTables = MakeCodeTables();

// Adds `amount` to a character code and brings a result beyond '9' back by
// ten, once.
char AddWrappingOnce(char code, int amount) {
  int sum = code + amount;
  if (sum > '9')
    sum -= 10;
  return static_cast<char>(sum);
}

}  // namespace

int SpeedOffsetOfIndex(int speedIndex) {
  switch (speedIndex) {
    case 0:
      return -2;
    case 1:
      return -1;
    case 2:
      return 0;
    case 3:
      return 1;
    default:
      return 2;
  }
}

WindmillSimulator::WindmillSimulator()
    : stepNum(kDefaultStepNum), targetDiameter(kDefaultDiameter) {
  startPositions.fill('0');
  estimatedPositions.fill('0');
  LoadSettingsTypes();
}

SettingsType ReadSettingsType(int index) {
  const SettingsTypeValues values = ReadSettingsTypeValues(index, kEndPointCapacityEngine);
  SettingsType type;
  CopyText(values.endPoint, type.stopConstant);
  // The files number the places 1 (thousands) to 4 (units), in table order.
  for (int place = 0; place < kPlaceTableSize; ++place) {
    const auto at = static_cast<std::size_t>(place);
    type.startToReach[at] = values.reachPoint[at];
    type.startToHit[at] = values.hitPoint[at];
    type.speedOffset[at] = SpeedOffsetOfIndex(values.speedRate[at]);
  }
  return type;
}

void WindmillSimulator::LoadSettingsTypes() {
  for (int index = 0; index < kSettingsTypeCount; ++index)
    types[static_cast<std::size_t>(index)] = ReadSettingsType(index);
}

int UsableSettingsTypeIndex(int index) {
  return index < 0 || index > kLastSettingsType ? 0 : index;
}

void WindmillSimulator::SelectSettingsType(int index) {
  const SettingsType& type = types[static_cast<std::size_t>(UsableSettingsTypeIndex(index))];
  stopConstant = type.stopConstant;
  startToReach = type.startToReach;
  startToHit = type.startToHit;
  speedOffset = type.speedOffset;
}

void WindmillSimulator::LoadWinningPositions(const DrawHistory& history, int n) {
  if (!IsRunnableDraw(n))
    return;
  for (int t = 0; t <= n - 2; ++t) {
    const DrawRecord& record = history.record(t + 1);
    char* triple = winningPositions.data() + static_cast<std::size_t>(t) * kPlacesPerTriple;
    for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
      const char digit = record.digits[static_cast<std::size_t>(offset)];
      const Place place = PlaceOfTripleOffset(offset);
      // A non-digit leaves hundreds and tens as they were and is copied for units.
      if (IsDigitCode(digit) || place == kUnits)
        triple[offset] = kCodeTables.toSector[place][static_cast<unsigned char>(digit)];
    }
  }
}

void WindmillSimulator::PositionsToDigits(int n) {
  if (!IsRunnableDraw(n))
    return;
  const std::size_t end = static_cast<std::size_t>(n - 1) * kPlacesPerTriple;
  for (std::size_t first = 0; first < end; first += kPlacesPerTriple) {
    for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
      const auto& toDigit = kCodeTables.toDigit[PlaceOfTripleOffset(offset)];
      char& estimated = estimatedPositions[first + static_cast<std::size_t>(offset)];
      char& winning = winningPositions[first + static_cast<std::size_t>(offset)];
      estimated = toDigit[static_cast<unsigned char>(estimated)];
      winning = toDigit[static_cast<unsigned char>(winning)];
    }
  }
}

Status WindmillSimulator::RunDraws(const DrawHistory& history, bool allDraws, int typeIndex) {
  // The position arrays and the draw table end at draw 9999, and a draw needs
  // the draw before it: any other draw number is refused before anything is
  // computed.
  if (!IsRunnableDraw(drawNumber)) {
    return Status::Failure("第" + std::to_string(drawNumber) +
                           "回は計算できません（抽選回数は 2 から 9999 までです）。");
  }
  LoadWinningPositions(history, drawNumber);
  const RunSettings settings = ReadRunSettings();
  const int startIndex = settings.startIndex;
  stepNum = settings.stepNum;
  targetDiameter = settings.diameter;
  std::fill(typeOfDraw.begin() + kFirstRunnableDraw, typeOfDraw.begin() + drawNumber + 1,
            startIndex);
  if (allDraws) {
    for (int i = kFirstRunnableDraw; i <= drawNumber; ++i) {
      SelectSettingsType(typeOfDraw[static_cast<std::size_t>(i)]);
      EstimateFromStart(i);
    }
  } else {
    SelectSettingsType(typeIndex);
    EstimateFromStart(drawNumber);
  }
  PositionsToDigits(drawNumber);
  return Status::Ok();
}

void WindmillSimulator::EstimateFromStart(int i) {
  ComputeStartPosition(i);
  ComputeHitShift();  // out-of-range settings keep the previous shifts
  const std::size_t first = static_cast<std::size_t>(i - 2) * kPlacesPerTriple;
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const std::size_t at = first + static_cast<std::size_t>(offset);
    estimatedPositions[at] =
        AddWrappingOnce(startPositions[at], hitShift[PlaceOfTripleOffset(offset)]);
  }
}

int WindmillSimulator::StopConstantDigit(Place place) const {
  // The dialog keeps the stop constant to three digits, but a hand-edited file
  // can hold fewer or other characters: such a place stops without offset.
  const char code = stopConstant[static_cast<std::size_t>(place - kHundreds)];
  return IsDigitCode(code) ? code - '0' : 0;
}

void WindmillSimulator::ComputeStartPosition(int i) {
  if (!IsRunnableDraw(i))
    return;
  const std::size_t first = static_cast<std::size_t>(i - 2) * kPlacesPerTriple;
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const Place place = PlaceOfTripleOffset(offset);
    const std::size_t at = first + static_cast<std::size_t>(offset);
    int start = AddWrappingOnce(winningPositions[at], StopConstantDigit(place));
    start = AddWrappingOnce(static_cast<char>(start), speedOffset[place]);
    if (start < '0')
      start += 10;
    startPositions[at] = static_cast<char>(start);
  }
}

bool WindmillSimulator::HitShiftInputsUnchanged(float diameter, int steps) const {
  // Compared bit for bit: a value that is not a number equals itself here,
  // and gives the same outcome each time.
  using Bits = std::array<std::uint32_t, kPlaceTableSize>;
  const HitShiftMemo& memo = hitShiftMemo_;
  return memo.valid &&
         std::bit_cast<std::uint32_t>(memo.diameter) == std::bit_cast<std::uint32_t>(diameter) &&
         memo.stepNum == steps &&
         std::bit_cast<Bits>(memo.startToReach) == std::bit_cast<Bits>(startToReach) &&
         std::bit_cast<Bits>(memo.startToHit) == std::bit_cast<Bits>(startToHit) &&
         memo.hitShift == hitShift;
}

bool WindmillSimulator::ComputeHitShift() {
  const float diameter = UsableDiameter(targetDiameter);
  const int steps = UsableStepNum(stepNum);
  if (HitShiftInputsUnchanged(diameter, steps))
    return hitShiftMemo_.inRange;
  hitShift[kThousands] = 0;
  bool inRange = true;
  for (const Place place : {kHundreds, kTens, kUnits}) {
    const float reach = startToReach[place];
    const float hit = startToHit[place];
    if (!IsStartToReachInRange(reach) || !IsStartToHitInRange(hit)) {
      inRange = false;
      break;
    }
    hitShift[place] = static_cast<std::int8_t>(ComputePlaceHitShift(diameter, steps, reach, hit));
  }
  hitShiftMemo_ = {true, diameter, steps, startToReach, startToHit, hitShift, inRange};
  return inRange;
}

void WindmillSimulator::MakeCandidates(std::uint16_t h, std::uint16_t t, std::uint16_t u) {
  for (auto& row : candidates)
    row.fill(0);
  ComputeHitShift();
  const std::array<std::uint16_t, kPlacesPerTriple> inputs{h, t, u};
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const Place place = PlaceOfTripleOffset(offset);
    for (int i = 0; i < kCandidateCount; ++i) {
      int q = i + speedOffset[place];
      if (q >= 10)
        q -= 10;
      if (q < 0)
        q += 10;
      q += hitShift[place];
      if (q >= 10)
        q -= 10;
      q += inputs[static_cast<std::size_t>(offset)];
      if (static_cast<std::uint16_t>(q) >= 10)
        q -= 10;
      candidates[place][static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(q);
    }
  }
}

void WindmillSimulator::PredictCandidates(int typeIndex) {
  for (const Place place : {kHundreds, kTens}) {
    std::uint16_t& code = inputPosition[static_cast<std::size_t>(place - kHundreds)];
    code = static_cast<std::uint16_t>(DigitCodeToSectorCode(place, code));
  }
  SelectSettingsType(typeIndex);
  MakeCandidates(static_cast<std::uint16_t>(inputPosition[0] - '0'),
                 static_cast<std::uint16_t>(inputPosition[1] - '0'),
                 static_cast<std::uint16_t>(inputPosition[2] - '0'));
  for (const Place place : {kHundreds, kTens, kUnits}) {
    for (std::uint16_t& entry : candidates[place]) {
      if (entry <= 9)
        entry = static_cast<std::uint16_t>('0' + DigitAtSector(place, entry));
    }
  }
}

}  // namespace kitebar
