#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// The six settings files in the working directory: "./base.ini" with the
// values common to all setting sets, and one file per saved windmill setting
// set, "./type1.ini" (set 0) to "./type5.ini" (set 4). Every reader reads the
// file afresh with the fixed default of its key; nothing is cached.

inline constexpr char kBaseIniFile[] = "./base.ini";
inline constexpr int kSettingsTypeCount = 5;

// Places in the per-place keys: 1 thousands, 2 hundreds, 3 tens, 4 units.
inline constexpr int kPlaceCount = 4;

// "./type1.ini" for set 0 up to "./type5.ini" for set 4.
std::string SettingsTypeFile(int setIndex);

// Capacities of the stop constant: the engine reads 4 characters, the dialog 7.
inline constexpr std::size_t kEndPointCapacityEngine = 5;
inline constexpr std::size_t kEndPointCapacityDialog = 8;

// "./base.ini", each value as read and converted as atoi/atof do.
int ReadStartIndex();           // [StartIndex] index, default "0"
int ReadEndRate();              // [EndRate] num, default "1"
int ReadStepNum();              // [StepNum] num, default "40"
float ReadDiameter();           // [Diameter] f, default "30.0"
int ReadSysType(int selector);  // [SysType1..5] index, default "0"; selector 1 to 5

// The three values that a simulation run reads from "./base.ini", each as
// the readers above give it, from a single read of the file.
struct RunSettings {
  int startIndex = 0;
  int stepNum = 0;
  float diameter = 0.0f;
};
RunSettings ReadRunSettings();

// The import bookmark [TvalUrl] EndURL (default "er") and the number of
// characters read, which tells whether a page was imported yet.
struct EndUrl {
  std::string name;
  std::size_t length = 0;
};
EndUrl ReadEndUrl();
Status WriteEndUrl(std::string_view pageName);

// The first of the six settings files in `folder` that is saved in UTF-16,
// which the readers cannot read, named with how to save it again.
Status CheckSettingsEncodings(const std::filesystem::path& folder);

// The result site's address, [TvalUrl] BaseURL, default "http://localhost/numbers/".
std::string ReadBaseUrl();

// One setting set file, each value as read.
std::string ReadEndPoint(int setIndex, std::size_t capacity);  // [EndPoint] num, "238"
float ReadReachPoint(int setIndex, int place);                 // [Toutatu1..4] f, default "2.00"
float ReadHitPoint(int setIndex, int place);  // [Tekicyuten1..4] f, default "11.50"
int ReadSpeedRate(int setIndex, int place);   // [SpeedRate1..4] num, default "2"

// Every value of one setting set file, each as the readers above give it,
// from a single read of the file (places 1 to 4 at indexes 0 to 3).
struct SettingsTypeValues {
  std::string endPoint;
  std::array<float, kPlaceCount> reachPoint{};
  std::array<float, kPlaceCount> hitPoint{};
  std::array<int, kPlaceCount> speedRate{};
};
SettingsTypeValues ReadSettingsTypeValues(int setIndex, std::size_t endPointCapacity);

// One value as the program reads it: for listing every setting.
struct SettingsEntry {
  std::string file;
  std::string section;
  std::string key;
  std::string text;  // default applied, cut at the capacity
};
// Every value that the engine and the dialogs read, in table order: the
// "./base.ini" rows, then "./type1.ini" to "./type5.ini".
std::vector<SettingsEntry> ReadAllSettings();

}  // namespace kitebar
