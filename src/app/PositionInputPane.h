#pragma once

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;

namespace kitebar::app {

class DialogUnits;

// The columns of the draw list: "回数", "当選番号", "風車位置".
enum DrawListColumn { kDrawColumn = 0, kDigitsColumn = 1, kPositionColumn = 2 };

// The controls of the group "風車位置の入力：" of the simulation settings
// dialog, created as children of the dialog.
struct PositionInputPane {
  QLabel* drawLabel = nullptr;            // 1015 "第 %d 回"
  QLabel* winningNumberLabel = nullptr;   // 1013 "当選番号：..."
  QLineEdit* positionEntry = nullptr;     // 1001
  QPushButton* modifyButton = nullptr;    // 1000 "<<修正"
  QPushButton* registerButton = nullptr;  // 1007 "登録>>"
  QTableWidget* drawList = nullptr;       // 1006
  QCheckBox* reanalyseCheck = nullptr;    // 1017 "未設定を再解析(自動)"
  QProgressBar* progressBar = nullptr;    // 1010
  QPushButton* analyseButton = nullptr;   // 1009 "解析"

  static PositionInputPane Create(QWidget& dialog, const DialogUnits& units);
};

}  // namespace kitebar::app
