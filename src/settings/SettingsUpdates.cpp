#include "settings/SettingsUpdates.h"

#include <algorithm>
#include <string_view>
#include <utility>

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
  return Status::Failure("設定を保存できません: " + written.message());
}

// The writes of one update, in their order; the first failure ends them.
class ProfileWriter {
 public:
  explicit ProfileWriter(std::string file) : file_(std::move(file)) {}

  Status Write(std::string_view section, std::string_view key, std::string_view value) {
    if (const Status written = WritePrivateProfileString(section, key, value, file_); !written)
      return WriteFailure(written);
    return Status::Ok();
  }

 private:
  std::string file_;
};

Status WriteReachPoints(ProfileWriter& writer, int set, WindmillSettings& settings) {
  for (int place = 1; place <= kPlaceCount; ++place) {
    float& member = settings.startToReach[static_cast<std::size_t>(place - 1)];
    if (Status written = writer.Write(PlaceSection("Toutatu", place), "f", FormatFixed(member, 2));
        !written)
      return written;
    member = ReadReachPoint(set, place);
  }
  return Status::Ok();
}

Status WriteHitPoints(ProfileWriter& writer, int set, WindmillSettings& settings) {
  for (int place = 1; place <= kPlaceCount; ++place) {
    float& member = settings.startToHit[static_cast<std::size_t>(place - 1)];
    if (Status written =
            writer.Write(PlaceSection("Tekicyuten", place), "f", FormatFixed(member, 2));
        !written)
      return written;
    member = ReadHitPoint(set, place);
  }
  return Status::Ok();
}

Status WriteSpeeds(ProfileWriter& writer, const WindmillSettings& settings) {
  for (int place = 1; place <= kPlaceCount; ++place) {
    const int speed = settings.speedIndex[static_cast<std::size_t>(place - 1)];
    if (Status written = writer.Write(PlaceSection("SpeedRate", place), "num", FormatInt(speed));
        !written)
      return written;
  }
  return Status::Ok();
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
  if (Status checked = CheckStopConstant(settings.stopConstant); !checked)
    return checked;
  const int set = SettingsTypeOfSelection(selection);
  ProfileWriter writer(SettingsTypeFile(set));
  if (Status written = writer.Write("EndPoint", "num", settings.stopConstant); !written)
    return written;
  if (Status written = WriteReachPoints(writer, set, settings); !written)
    return written;
  if (Status written = WriteHitPoints(writer, set, settings); !written)
    return written;
  return WriteSpeeds(writer, settings);
}

Status UpdateCoreSettings(CoreSettings& settings) {
  if (settings.stepNum < 1)
    settings.stepNum = kStepNumReplacement;
  if (settings.targetDiameter < kMinimumDiameter)
    settings.targetDiameter = kMinimumDiameter;
  if (settings.targetDiameter > kMaximumDiameter)
    settings.targetDiameter = kMaximumDiameter;
  ProfileWriter writer(kBaseIniFile);
  if (Status written = writer.Write("EndRate", "num", FormatInt(settings.adjustRate)); !written)
    return written;
  if (Status written = writer.Write("StepNum", "num", FormatInt(settings.stepNum)); !written)
    return written;
  return writer.Write("Diameter", "f", FormatFixed(settings.targetDiameter, 1));
}

Status WriteSetSelector(int selector, int selection) {
  return ProfileWriter(kBaseIniFile)
      .Write("SysType" + FormatInt(selector), "index", FormatInt(selection));
}

}  // namespace kitebar
