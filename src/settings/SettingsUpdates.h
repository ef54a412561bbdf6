#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "settings/SettingsFiles.h"

namespace kitebar {

// The settings that the settings dialog edits and the three operations that
// save them: the windmill-settings update into one set file, the core-settings
// update and the set selectors into "./base.ini". The command line saves
// through the same operations.

inline constexpr int kSpeedIndexCount = 5;  // 0 最低速 to 4 最高速
inline constexpr int kNormalSpeedIndex = 2;
inline constexpr int kStepNumReplacement = 40;
inline constexpr float kMinimumDiameter = 10.0f;
inline constexpr float kMaximumDiameter = 50.0f;
inline constexpr std::size_t kStopConstantMaxLength = 3;

inline constexpr char kStopConstantTooLong[] = "異常：停止定数の文字数が長すぎます。";
inline constexpr char kStopConstantUnwritable[] = "異常：停止定数に使えない文字が含まれています。";

// One saved windmill setting set as the dialog holds it, per place from
// thousands (index 0) to units (index 3).
struct WindmillSettings {
  std::string stopConstant;
  std::array<float, kPlaceCount> startToReach{};
  std::array<float, kPlaceCount> startToHit{};
  std::array<int, kPlaceCount> speedIndex{};
};

// The values common to all sets.
struct CoreSettings {
  int adjustRate = 0;
  int stepNum = 0;
  float targetDiameter = 0.0f;
};

// The set file of a selection in the dialog's set list: 0 to 3 name their own
// set, every other selection the fifth.
int SettingsTypeOfSelection(int selection);

// The index of the speed and adjustment-rate sliders: a stored value outside
// 0 to 4 counts as 2.
int SliderIndexOfStoredValue(int stored);

// The set `selection` as the dialog reads it: the stop constant with up to 7
// characters, the slider indexes through SliderIndexOfStoredValue.
WindmillSettings LoadWindmillSettings(int selection);

// The values of the "デフォルト" button: stop constant "238", reach points
// 1.26, hit points 11.50, 11.50, 12.50 and 13.50, every speed 普通.
WindmillSettings DefaultWindmillSettings();

// The adjustment rate (through SliderIndexOfStoredValue), the step value and
// the diameter as "./base.ini" holds them.
CoreSettings LoadCoreSettings();

// Whether a stop constant may be written: at most three characters and no
// control character (a line break would split the file's line).
Status CheckStopConstant(std::string_view stopConstant);

// A reach or hit point as UpdateWindmillSettings writes it: two decimals.
std::string PointText(float value);
// The value that the readers give back for a point that UpdateWindmillSettings
// saved: `value` at the two decimals written, read as atof does.
float SavedPointValue(float value);

// Saves `settings` into the file of `selection`: "EndPoint" as typed, with
// full-width digits made ASCII (NarrowDigits), the
// reach points "%1.02f", the hit points "%2.02f", the speeds "%d", in that
// order. Each decimal written is read back into `settings`, which then holds
// what the engine will read. Refuses, writing nothing, a stop constant that
// fails CheckStopConstant. The keys reach the file in one replacement: a
// failed or interrupted update leaves the file as it was.
Status UpdateWindmillSettings(int selection, WindmillSettings& settings);

// Saves `settings` into "./base.ini": "EndRate" and "StepNum" "%d", "Diameter"
// "%2.1f", in that order. A step value below 1 is saved as 40 and a diameter
// outside 10.0 to 50.0 as the nearer bound; `settings` then holds the values
// saved. The three keys reach the file in one replacement.
Status UpdateCoreSettings(CoreSettings& settings);

// One change of a setting set's values, as one change of the folder: the
// values are read under the folder's lock, `change` changes them (or
// declines, returning false: nothing is written) and they are saved as
// UpdateWindmillSettings saves them, before the lock is let go, so that a
// writer of other keys at the same time loses nothing.
Status ChangeWindmillSettings(int selection, const std::function<bool(WindmillSettings&)>& change);
// The same for the values of "./base.ini" that UpdateCoreSettings saves.
Status ChangeCoreSettings(const std::function<bool(CoreSettings&)>& change);

// Saves the choice of set selector `selector` (1 to 5) as "SysType<selector>".
Status WriteSetSelector(int selector, int selection);

}  // namespace kitebar
