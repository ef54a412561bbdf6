#include "cli/SettingsSetCommands.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "cli/Output.h"
#include "cli/SettingsCommand.h"
#include "common/NumberText.h"
#include "settings/FieldExchange.h"
#include "settings/SettingsFiles.h"
#include "settings/SettingsUpdates.h"

namespace kitebar::cli {
namespace {

constexpr FieldRange<int> kSliderRange{0, kSpeedIndexCount - 1};
constexpr char kNothingSaved[] = "設定ファイルは元のままです。";
constexpr char kStopConstantAdvice[] =
    "EndPoint には 0 から 9 の数字を 3 文字まで（例: EndPoint=238）指定してください。";

struct Assignment {
  std::string key;
  std::string value;
};

std::optional<std::vector<Assignment>> SplitAssignments(const std::vector<std::string>& texts) {
  std::vector<Assignment> assignments;
  for (const std::string& text : texts) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
      PrintError("KEY=VALUE の形で指定してください: " + text + "。" + kNothingSaved);
      return std::nullopt;
    }
    assignments.push_back({text.substr(0, equals), text.substr(equals + 1)});
  }
  return assignments;
}

// The dialog's check of one field. The dialog lets the user type again; here
// a value it would warn about refuses the whole command, so that nothing is
// saved that the user did not ask for.
template <typename T>
bool Take(const Assignment& assignment, const TakenField<T>& taken, T& member) {
  if (!taken.passed() || !taken.value) {
    PrintError(assignment.key + ": " + taken.warning + kNothingSaved);
    return false;
  }
  member = *taken.value;
  return true;
}

// The dialog's field takes "3e1" as 30 too; on the command line, where
// numbers are decimal only, an exponent is refused like "0x10".
bool TakeDecimal(const Assignment& assignment, FieldRange<float> range, float& member) {
  if (NarrowDigits(assignment.value).find_first_of("eE") != std::string::npos) {
    PrintError(assignment.key + ": 「" + assignment.value +
               "」の指数の形は使えません。12.5 のように小数で指定してください。" + kNothingSaved);
    return false;
  }
  return Take(assignment, TakeDecimalField(assignment.value, range), member);
}

bool TakeInteger(const Assignment& assignment, FieldRange<int> range, int& member) {
  return Take(assignment, TakeIntegerField(assignment.value, range), member);
}

// The place (0 for "<stem>1" to 3 for "<stem>4") that `key` names.
std::optional<std::size_t> PlaceOfKey(std::string_view key, std::string_view stem) {
  if (key.size() != stem.size() + 1 || !key.starts_with(stem))
    return std::nullopt;
  const char digit = key.back();
  if (digit < '1' || digit > '0' + kPlaceCount)
    return std::nullopt;
  return static_cast<std::size_t>(digit - '1');
}

bool UnknownKey(const Assignment& assignment) {
  PrintError("不明なキーです: " + assignment.key +
             "。使えるキーは kitebar-cli settings set-type --help と set-core --help で確かめて"
             "ください。");
  return false;
}

// What keeps `text` from being a stop constant, or empty.
std::string StopConstantProblem(const std::string& text) {
  if (const Status checked = CheckStopConstant(text); !checked.ok())
    return checked.message();
  if (text.empty())
    return "値がありません。";
  if (text.find_first_not_of("0123456789") != std::string::npos)
    return "「" + text + "」は数字ではありません。";
  return {};
}

// One to three digits, the first for the hundreds place. The dialog checks
// only the length; here a text that is no number is refused as well, since
// the engine would take each of its characters for a stop of 0.
bool TakeStopConstant(const Assignment& assignment, std::string& member) {
  const std::string text = NarrowDigits(assignment.value);
  if (const std::string problem = StopConstantProblem(text); !problem.empty()) {
    PrintError(assignment.key + ": " + problem + kStopConstantAdvice + kNothingSaved);
    return false;
  }
  member = text;
  return true;
}

bool TakeWindmillValue(const Assignment& assignment, WindmillSettings& settings) {
  const std::string& key = assignment.key;
  if (key == "EndPoint")
    return TakeStopConstant(assignment, settings.stopConstant);
  if (const auto place = PlaceOfKey(key, "Toutatu"))
    return TakeDecimal(assignment, kReachPointRange, settings.startToReach[*place]);
  if (const auto place = PlaceOfKey(key, "Tekicyuten"))
    return TakeDecimal(assignment, kHitPointRange, settings.startToHit[*place]);
  if (const auto place = PlaceOfKey(key, "SpeedRate"))
    return TakeInteger(assignment, kSliderRange, settings.speedIndex[*place]);
  return UnknownKey(assignment);
}

bool TakeCoreValue(const Assignment& assignment, CoreSettings& settings) {
  if (assignment.key == "EndRate")
    return TakeInteger(assignment, kSliderRange, settings.adjustRate);
  if (assignment.key == "StepNum")
    return TakeInteger(assignment, kStepNumRange, settings.stepNum);
  if (assignment.key == "Diameter")
    return TakeDecimal(assignment, kDiameterRange, settings.targetDiameter);
  return UnknownKey(assignment);
}

// Takes every assignment; the first refusal is reported, in one line, and
// ends the command.
template <typename Settings, typename TakeValue>
bool TakeAll(const std::vector<std::string>& texts, Settings& settings, TakeValue takeValue) {
  const std::optional<std::vector<Assignment>> assignments = SplitAssignments(texts);
  if (!assignments)
    return false;
  return std::all_of(assignments->begin(), assignments->end(),
                     [&](const Assignment& assignment) { return takeValue(assignment, settings); });
}

template <typename Wanted>
void PrintSavedEntries(Wanted wanted) {
  for (const SettingsEntry& entry : ReadAllSettings()) {
    if (wanted(entry))
      PrintLine(SettingsLine(entry));
  }
}

int SaveFailed(const Status& status) {
  PrintError(status.message());
  return kExitFailure;
}

}  // namespace

CLI::App* SetTypeCommand::Register(CLI::App& settings) {
  CLI::App* command =
      settings.add_subcommand("set-type", "Save values into one windmill setting set");
  command->add_option("T", type_, "the setting set, 1 to 5")
      ->required()
      ->check(CLI::Range(1, kSettingsTypeCount));
  command
      ->add_option("KEY=VALUE", assignments_, "EndPoint, Toutatu1-4, Tekicyuten1-4, SpeedRate1-4")
      ->required();
  return command;
}

// The values are taken into the set as the file holds it under the folder's
// lock, so that a command saving other keys at the same time loses nothing.
int SetTypeCommand::Run() {
  const int set = type_ - 1;
  bool taken = true;
  const Status saved = ChangeWindmillSettings(set, [&](WindmillSettings& settings) {
    taken = TakeAll(assignments_, settings, TakeWindmillValue);
    if (!taken)
      return false;
    // The set file's own stop constant is written back with the other values.
    if (const Status checked = CheckStopConstant(settings.stopConstant); !checked) {
      PrintError(SettingsTypeFile(set) + " の停止定数「" + settings.stopConstant +
                 "」: " + checked.message() +
                 "EndPoint=238 のように停止定数も指定すると保存できます。" + kNothingSaved);
      taken = false;
    }
    return taken;
  });
  if (!taken)
    return kExitUsage;
  if (!saved)
    return SaveFailed(saved);
  const std::string file = SettingsTypeFile(set);
  PrintSavedEntries([&file](const SettingsEntry& entry) { return entry.file == file; });
  return kExitOk;
}

CLI::App* SetCoreCommand::Register(CLI::App& settings) {
  CLI::App* command = settings.add_subcommand(
      "set-core", "Save the adjustment rate, step value and diameter into ./base.ini");
  command->add_option("KEY=VALUE", assignments_, "EndRate, StepNum, Diameter")->required();
  return command;
}

int SetCoreCommand::Run() {
  bool taken = true;
  const Status saved = ChangeCoreSettings([&](CoreSettings& settings) {
    taken = TakeAll(assignments_, settings, TakeCoreValue);
    return taken;
  });
  if (!taken)
    return kExitUsage;
  if (!saved)
    return SaveFailed(saved);
  PrintSavedEntries([](const SettingsEntry& entry) {
    return entry.file == kBaseIniFile &&
           (entry.section == "EndRate" || entry.section == "StepNum" ||
            entry.section == "Diameter");
  });
  return kExitOk;
}

}  // namespace kitebar::cli
