#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

namespace kitebar::app {

class DialogUnits;

// The label text of the adjustment-rate slider's position: "< %d >".
QString AdjustRateText(int position);

// The controls of the core settings pane "内部（コア部分）", created as
// children of the dialog.
struct CoreSettingsPane {
  QSlider* adjustRateSlider = nullptr;  // 1033
  QLabel* adjustRateLabel = nullptr;    // 1054
  QLineEdit* stepNumEntry = nullptr;    // 1074
  QLineEdit* diameterEntry = nullptr;   // 1075
  QPushButton* updateButton = nullptr;  // 1071 "更新"

  static CoreSettingsPane Create(QWidget& dialog, const DialogUnits& units);
};

}  // namespace kitebar::app
