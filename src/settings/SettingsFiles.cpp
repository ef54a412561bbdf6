#include "settings/SettingsFiles.h"

#include "common/NumberText.h"
#include "settings/PrivateProfile.h"

namespace kitebar {
namespace {

constexpr char kTvalUrlSection[] = "TvalUrl";
constexpr char kDefaultBaseUrl[] = "http://localhost/numbers/";

// One key of a table: where it lives, its default and the buffer it is read into.
struct KeyEntry {
  const char* section;
  const char* key;
  const char* defaultText;
  std::size_t capacity;
};

constexpr KeyEntry kStartIndex{"StartIndex", "index", "0", 4};
constexpr KeyEntry kEndRate{"EndRate", "num", "1", 4};
constexpr KeyEntry kStepNum{"StepNum", "num", "40", 16};
constexpr KeyEntry kDiameter{"Diameter", "f", "30.0", 16};
constexpr KeyEntry kEndUrl{kTvalUrlSection, "EndURL", "er", 128};
constexpr KeyEntry kBaseUrl{kTvalUrlSection, "BaseURL", kDefaultBaseUrl, 256};

std::string Read(const std::string& file, const KeyEntry& key) {
  return ReadProfileString(file, key.section, key.key, key.defaultText, key.capacity);
}

std::string ReadBase(const KeyEntry& key) {
  return Read(kBaseIniFile, key);
}

std::string PlaceSection(const char* stem, int place) {
  return stem + FormatInt(place);
}

ProfileSnapshot SetFile(int setIndex) {
  return ProfileSnapshot(SettingsTypeFile(setIndex));
}

std::string ReadEndPointText(const ProfileSnapshot& file, std::size_t capacity) {
  return file.Read("EndPoint", "num", "238", capacity);
}
std::string ReadReachText(const ProfileSnapshot& file, int place) {
  return file.Read(PlaceSection("Toutatu", place), "f", "2.00", 16);
}
std::string ReadHitText(const ProfileSnapshot& file, int place) {
  return file.Read(PlaceSection("Tekicyuten", place), "f", "11.50", 16);
}
std::string ReadSpeedText(const ProfileSnapshot& file, int place) {
  return file.Read(PlaceSection("SpeedRate", place), "num", "2", 4);
}
std::string SysTypeSection(int selector) {
  return "SysType" + FormatInt(selector);
}

}  // namespace

std::string SettingsTypeFile(int setIndex) {
  return "./type" + FormatInt(setIndex + 1) + ".ini";
}

int ReadStartIndex() {
  return ParseIntLikeAtoi(ReadBase(kStartIndex));
}
int ReadEndRate() {
  return ParseIntLikeAtoi(ReadBase(kEndRate));
}
int ReadStepNum() {
  return ParseIntLikeAtoi(ReadBase(kStepNum));
}
float ReadDiameter() {
  return static_cast<float>(ParseDoubleLikeAtof(ReadBase(kDiameter)));
}

RunSettings ReadRunSettings() {
  const ProfileSnapshot base(kBaseIniFile);
  const auto read = [&base](const KeyEntry& key) {
    return base.Read(key.section, key.key, key.defaultText, key.capacity);
  };
  return {ParseIntLikeAtoi(read(kStartIndex)), ParseIntLikeAtoi(read(kStepNum)),
          static_cast<float>(ParseDoubleLikeAtof(read(kDiameter)))};
}

int ReadSysType(int selector) {
  return ParseIntLikeAtoi(
      ReadProfileString(kBaseIniFile, SysTypeSection(selector), "index", "0", 4));
}

EndUrl ReadEndUrl() {
  std::string name = ReadBase(kEndUrl);
  const std::size_t length = name.size();
  return {std::move(name), length};
}

Status WriteEndUrl(std::string_view pageName) {
  return WritePrivateProfileString(kEndUrl.section, kEndUrl.key, pageName, kBaseIniFile);
}

Status CheckSettingsEncodings(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names{std::filesystem::path(kBaseIniFile).filename()};
  for (int set = 0; set < kSettingsTypeCount; ++set)
    names.push_back(std::filesystem::path(SettingsTypeFile(set)).filename());
  for (const std::filesystem::path& name : names) {
    if (Status checked = CheckProfileEncoding(folder / name); !checked.ok())
      return checked;
  }
  return Status::Ok();
}

std::string ReadBaseUrl() {
  return ReadBase(kBaseUrl);
}

std::string ReadEndPoint(int setIndex, std::size_t capacity) {
  return ReadEndPointText(SetFile(setIndex), capacity);
}

float ReadReachPoint(int setIndex, int place) {
  return static_cast<float>(ParseDoubleLikeAtof(ReadReachText(SetFile(setIndex), place)));
}

float ReadHitPoint(int setIndex, int place) {
  return static_cast<float>(ParseDoubleLikeAtof(ReadHitText(SetFile(setIndex), place)));
}

int ReadSpeedRate(int setIndex, int place) {
  return ParseIntLikeAtoi(ReadSpeedText(SetFile(setIndex), place));
}

SettingsTypeValues ReadSettingsTypeValues(int setIndex, std::size_t endPointCapacity) {
  const ProfileSnapshot file = SetFile(setIndex);
  SettingsTypeValues values;
  values.endPoint = ReadEndPointText(file, endPointCapacity);
  for (int place = 1; place <= kPlaceCount; ++place) {
    const auto at = static_cast<std::size_t>(place - 1);
    values.reachPoint[at] = static_cast<float>(ParseDoubleLikeAtof(ReadReachText(file, place)));
    values.hitPoint[at] = static_cast<float>(ParseDoubleLikeAtof(ReadHitText(file, place)));
    values.speedRate[at] = ParseIntLikeAtoi(ReadSpeedText(file, place));
  }
  return values;
}

std::vector<SettingsEntry> ReadAllSettings() {
  std::vector<SettingsEntry> entries;
  const auto add = [&entries](std::string file, std::string section, std::string key,
                              std::string text) {
    entries.push_back({std::move(file), std::move(section), std::move(key), std::move(text)});
  };
  for (const KeyEntry* key : {&kStartIndex, &kEndRate, &kStepNum, &kDiameter}) {
    add(kBaseIniFile, key->section, key->key, ReadBase(*key));
  }
  for (int selector = 1; selector <= kSettingsTypeCount; ++selector) {
    add(kBaseIniFile, SysTypeSection(selector), "index",
        ReadProfileString(kBaseIniFile, SysTypeSection(selector), "index", "0", 4));
  }
  add(kBaseIniFile, kBaseUrl.section, kBaseUrl.key, ReadBase(kBaseUrl));
  add(kBaseIniFile, kEndUrl.section, kEndUrl.key, ReadBase(kEndUrl));
  for (int set = 0; set < kSettingsTypeCount; ++set) {
    const std::string name = SettingsTypeFile(set);
    const ProfileSnapshot file(name);
    add(name, "EndPoint", "num", ReadEndPointText(file, kEndPointCapacityEngine));
    for (int place = 1; place <= kPlaceCount; ++place) {
      add(name, PlaceSection("Toutatu", place), "f", ReadReachText(file, place));
    }
    for (int place = 1; place <= kPlaceCount; ++place) {
      add(name, PlaceSection("Tekicyuten", place), "f", ReadHitText(file, place));
    }
    for (int place = 1; place <= kPlaceCount; ++place) {
      add(name, PlaceSection("SpeedRate", place), "num", ReadSpeedText(file, place));
    }
  }
  return entries;
}

}  // namespace kitebar
