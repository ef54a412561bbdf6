#pragma once

#include <QString>
#include <array>

class QLineEdit;
class QWidget;

namespace kitebar::app {

// The values of the simulation settings dialog that its entry fields edit,
// per place from thousands to units.
struct SettingsDialogData {
  QString positionEntry;
  QString stopConstant;
  std::array<float, 4> startToReach{};
  std::array<float, 4> startToHit{};
  int stepNum = 0;
  float targetDiameter = 0.0f;
};

// The entry fields, in the order in which their values are taken.
struct SettingsDialogFields {
  QLineEdit* positionEntry = nullptr;
  QLineEdit* stopConstant = nullptr;
  std::array<QLineEdit*, 4> startToReach{};
  std::array<QLineEdit*, 4> startToHit{};
  QLineEdit* stepNum = nullptr;
  QLineEdit* targetDiameter = nullptr;
};

// Takes the fields into `data` in their order, checking each. The first field
// that fails its check is warned about (with the exclamation icon, owned by
// `owner`), gets the focus, and ends the taking: later fields are not taken.
// A field that holds no number leaves its member as it was; a number outside
// its range and an overlong text are already in the member. False on a failure.
bool TakeValues(const SettingsDialogFields& fields, SettingsDialogData& data, QWidget* owner);

// Shows `data` in the fields: decimals in their shortest form with up to six
// significant digits, and the two text entries taking three typed characters.
void ShowValues(const SettingsDialogFields& fields, const SettingsDialogData& data);

}  // namespace kitebar::app
