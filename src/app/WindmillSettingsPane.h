#pragma once

#include <QRect>
#include <QString>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

namespace kitebar::app {

class DialogUnits;

inline constexpr std::size_t kPlaceGroups = 4;  // thousands, hundreds, tens, units

// The word that a speed slider's label shows for its position 0 to 4.
QString SpeedWord(int position);

// The five set names "タイプ１" to "タイプ５" of the set combo boxes.
void AddSettingsTypeItems(QComboBox& combo);

// The controls of the windmill settings pane "電動風車設定" and its group
// "設定の更新", created as children of the dialog; per-place arrays run from
// thousands to units. The thousands group is created disabled.
struct WindmillSettingsPane {
  QLineEdit* stopConstant = nullptr;                    // 1020
  std::array<QLineEdit*, kPlaceGroups> reachEntries{};  // 1036 to 1039
  std::array<QLineEdit*, kPlaceGroups> hitEntries{};    // 1040 to 1043
  std::array<QSlider*, kPlaceGroups> speedSliders{};    // 1045 to 1048
  std::array<QLabel*, kPlaceGroups> speedLabels{};      // 1050 to 1053
  QComboBox* settingsTypeCombo = nullptr;               // 1058
  QPushButton* defaultsButton = nullptr;                // 1022 "デフォルト"
  QPushButton* updateButton = nullptr;                  // 1021 "更新"

  static WindmillSettingsPane Create(QWidget& dialog, const DialogUnits& units);
};

// A track bar of the dialog: horizontal, 0 to 4, tick marks above.
QSlider* CreateTrackBar(QWidget& dialog, const QString& objectName, int controlId,
                        const QRect& pixels);

}  // namespace kitebar::app
