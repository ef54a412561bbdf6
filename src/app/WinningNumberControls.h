#pragma once

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

namespace kitebar::app {

class DialogUnits;

// The columns of the winning-number dialog's draw list: "回数", "番号".
enum WinningListColumn { kWinningDrawColumn = 0, kWinningDigitsColumn = 1 };

// The controls of the dialog "当選番号編集", created as children of the dialog
// at their places in dialog units, each with an object name and its numeric
// identifier as property "controlId".
struct WinningNumberControls {
  QLabel* drawLabel = nullptr;                 // 1008 "第 %d 回"
  QLineEdit* numberEntry = nullptr;            // 1001, at most three characters
  QPushButton* modifyButton = nullptr;         // 1000 "<<修正"
  QPushButton* registerButton = nullptr;       // 1007 "登録>>"
  QTableWidget* drawList = nullptr;            // 1006
  QRadioButton* allDrawsRadio = nullptr;       // 1072 "すべて"
  QRadioButton* hitsOnlyRadio = nullptr;       // 1073 "当選のみ"
  QPushButton* recentHistoryButton = nullptr;  // 1022 "過去300回の履歴"
  QPushButton* hitHistoryButton = nullptr;     // 1021 "当選履歴の表示"
  QLabel* messageLine = nullptr;               // 1011
  QProgressBar* progressBar = nullptr;         // 1010
  QPushButton* importButton = nullptr;         // 1009 "開始"
  QPushButton* closeButton = nullptr;          // 1 "閉じる"

  static WinningNumberControls Create(QWidget& dialog, const DialogUnits& units);
};

}  // namespace kitebar::app
