#include "settings/SettingsUpdates.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "common/FolderLock.h"
#include "common/NumberText.h"
#include "settings/PrivateProfile.h"

namespace kitebar {
namespace {

constexpr int kLastOwnSelection = kSettingsTypeCount - 2;

bool IsControlCharacter(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

std::string PlaceSection(std::string_view stem, int place) {
  return std::string(stem) + FormatInt(place);
}

Status WriteFailure(const Status& written) {
  return written.Wrapped("設定を保存できません: ", "設定ファイルは元のままです。");
}

// The writes of one update, in their order. They reach the file together, in
// one replacement, so that a failed or interrupted update leaves the file as
// it was rather than half old and half new.
class ProfileWriter {
 public:
  explicit ProfileWriter(std::string file) : file_(std::move(file)) {}

  void Write(std::string_view section, std::string_view key, std::string value) {
    entries_.push_back({std::string(section), std::string(key), std::move(value)});
  }

  Status Commit() const {
    if (const Status written = WritePrivateProfileStrings(entries_, file_); !written)
      return WriteFailure(written);
    return Status::Ok();
  }

 private:
  std::string file_;
  std::vector<ProfileEntry> entries_;
};

void WriteWindmillValues(ProfileWriter& writer, const WindmillSettings& settings) {
  writer.Write("EndPoint", "num", settings.stopConstant);
  for (int place = 1; place <= kPlaceCount; ++place) {
    writer.Write(PlaceSection("Toutatu", place), "f",
                 PointText(settings.startToReach[static_cast<std::size_t>(place - 1)]));
  }
  for (int place = 1; place <= kPlaceCount; ++place) {
    writer.Write(PlaceSection("Tekicyuten", place), "f",
                 PointText(settings.startToHit[static_cast<std::size_t>(place - 1)]));
  }
  for (int place = 1; place <= kPlaceCount; ++place) {
    writer.Write(PlaceSection("SpeedRate", place), "num",
                 FormatInt(settings.speedIndex[static_cast<std::size_t>(place - 1)]));
  }
}

// Each decimal written is read back, so that `settings` holds what the engine
// will read.
void ReadBackDecimals(int set, WindmillSettings& settings) {
  for (int place = 1; place <= kPlaceCount; ++place) {
    settings.startToReach[static_cast<std::size_t>(place - 1)] = ReadReachPoint(set, place);
    settings.startToHit[static_cast<std::size_t>(place - 1)] = ReadHitPoint(set, place);
  }
}

}  // namespace

int SettingsTypeOfSelection(int selection) {
  return selection >= 0 && selection <= kLastOwnSelection ? selection : kSettingsTypeCount - 1;
}

int SliderIndexOfStoredValue(int stored) {
  return stored >= 0 && stored < kSpeedIndexCount ? stored : kNormalSpeedIndex;
}

WindmillSettings LoadWindmillSettings(int selection) {
  const int set = SettingsTypeOfSelection(selection);
  WindmillSettings settings;
  settings.stopConstant = ReadEndPoint(set, kEndPointCapacityDialog);
  for (int place = 1; place <= kPlaceCount; ++place) {
    const auto at = static_cast<std::size_t>(place - 1);
    settings.startToReach[at] = ReadReachPoint(set, place);
    settings.startToHit[at] = ReadHitPoint(set, place);
    settings.speedIndex[at] = SliderIndexOfStoredValue(ReadSpeedRate(set, place));
  }
  return settings;
}

WindmillSettings DefaultWindmillSettings() {
  WindmillSettings settings;
  settings.stopConstant = "238";
  settings.startToReach = {1.26f, 1.26f, 1.26f, 1.26f};
  settings.startToHit = {11.50f, 11.50f, 12.50f, 13.50f};
  settings.speedIndex.fill(kNormalSpeedIndex);
  return settings;
}

CoreSettings LoadCoreSettings() {
  return {SliderIndexOfStoredValue(ReadEndRate()), ReadStepNum(), ReadDiameter()};
}

std::string PointText(float value) {
  return FormatFixed(value, 2);
}

float SavedPointValue(float value) {
  return static_cast<float>(ParseDoubleLikeAtof(PointText(value)));
}

Status CheckStopConstant(std::string_view stopConstant) {
  // The dialog reads up to seven characters from the file, the engine only
  // four, so a longer one must not be saved back.
  if (stopConstant.size() > kStopConstantMaxLength)
    return Status::Failure(kStopConstantTooLong);
  if (std::any_of(stopConstant.begin(), stopConstant.end(), IsControlCharacter))
    return Status::Failure(kStopConstantUnwritable);
  return Status::Ok();
}

Status UpdateWindmillSettings(int selection, WindmillSettings& settings) {
  settings.stopConstant = NarrowDigits(settings.stopConstant);
  if (Status checked = CheckStopConstant(settings.stopConstant); !checked)
    return checked;
  const int set = SettingsTypeOfSelection(selection);
  ProfileWriter writer(SettingsTypeFile(set));
  WriteWindmillValues(writer, settings);
  if (Status written = writer.Commit(); !written)
    return written;
  ReadBackDecimals(set, settings);
  return Status::Ok();
}

Status ChangeWindmillSettings(int selection, const std::function<bool(WindmillSettings&)>& change) {
  const Result<FolderLock> lock =
      FolderLock::AcquireFor(SettingsTypeFile(SettingsTypeOfSelection(selection)));
  if (!lock.ok())
    return WriteFailure(lock.status());
  WindmillSettings settings = LoadWindmillSettings(selection);
  if (!change(settings))
    return Status::Ok();
  return UpdateWindmillSettings(selection, settings);
}

Status ChangeCoreSettings(const std::function<bool(CoreSettings&)>& change) {
  const Result<FolderLock> lock = FolderLock::AcquireFor(kBaseIniFile);
  if (!lock.ok())
    return WriteFailure(lock.status());
  CoreSettings settings = LoadCoreSettings();
  if (!change(settings))
    return Status::Ok();
  return UpdateCoreSettings(settings);
}

Status UpdateCoreSettings(CoreSettings& settings) {
  if (settings.stepNum < 1)
    settings.stepNum = kStepNumReplacement;
  if (settings.targetDiameter < kMinimumDiameter)
    settings.targetDiameter = kMinimumDiameter;
  if (settings.targetDiameter > kMaximumDiameter)
    settings.targetDiameter = kMaximumDiameter;
  ProfileWriter writer(kBaseIniFile);
  writer.Write("EndRate", "num", FormatInt(settings.adjustRate));
  writer.Write("StepNum", "num", FormatInt(settings.stepNum));
  writer.Write("Diameter", "f", FormatFixed(settings.targetDiameter, 1));
  return writer.Commit();
}

Status WriteSetSelector(int selector, int selection) {
  ProfileWriter writer(kBaseIniFile);
  writer.Write("SysType" + FormatInt(selector), "index", FormatInt(selection));
  return writer.Commit();
}

}  // namespace kitebar
