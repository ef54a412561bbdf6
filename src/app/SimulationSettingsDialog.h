#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "app/CoreSettingsPane.h"
#include "app/HistoryFollower.h"
#include "app/PositionInputPane.h"
#include "app/SettingsExchange.h"
#include "app/WindmillSettingsPane.h"
#include "engine/WindmillSimulator.h"
#include "settings/SettingsFiles.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace kitebar {
class DrawHistory;
}

namespace kitebar::app {

// The modal dialog "シミュレート設定": the windmill positions of past draws
// with the position analysis, the windmill settings of the five saved sets and
// the core settings. It works on the application's one draw history; all
// saving is done by its buttons, nothing on closing. "閉じる" closes it only
// when every field passes its check; Esc and the close box close it as it is.
class SimulationSettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  // Builds the controls and opens the dialog: fills the draw list from
  // `history`, reads the core settings, the set selectors and set 1.
  explicit SimulationSettingsDialog(DrawHistory& history, QWidget* parent = nullptr);

  // The exchange between the entry fields and `data`.
  bool TakeValues();
  void ShowValues();

  // Shows "第 %d 回" and "当選番号：%03d", or "当選番号：?????" for number 0.
  void ShowCurrentDraw(int draw, int number);
  // Rebuilds the rows of the draw list; without `refill` first sets up its
  // columns and pictures.
  void FillDrawList(bool refill);
  // Pads the position entry with leading '0' to three characters, shows it and
  // tells whether it is three digits.
  bool CheckPositionEntry();
  // Fills the windmill settings pane from the set file of `selection`.
  void FillWindmillPane(int selection);
  // The prediction run for `drawNumber`; with `showListing` the ten numbers go
  // to the result box.
  void PredictionRun(int drawNumber, bool showListing);

  void OnModify();
  void OnRegister();
  void AnalysePositions();
  void OnPredict();
  void OnSettingsTypeChanged(int selection);
  void OnUpdateWindmillSettings();
  void OnDefaults();
  void OnSpeedReleased(std::size_t place);
  void OnAdjustRateReleased();
  void OnUpdateCoreSettings();
  // `selector` 1 to 5 stands for "SysType1" to "SysType5" (controls 1059 to 1063).
  void OnSetSelectorChanged(int selector);
  // "閉じる": takes the values and closes only when every check passes.
  void OnOK();

  SettingsDialogData data;
  // The ten numbers of the last prediction run.
  CandidateTable predictedCandidates{};
  // The draw that the position pane, the analysis and the prediction work on.
  int predictionDrawNumber = 0;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void CreateHiddenControls(const DialogUnits& units);
  void ConnectHandlers();
  void ConnectTrackBar(QSlider* slider, std::function<void()> handler);
  void OnInitDialog();
  void SetResultText(const std::string& listing);
  void ScrollToLastComplete();
  // After a write that reloaded the history (another Kitebar may have changed
  // it), or a change of the file while the dialog is open: the list, and the
  // draw when it was the next one, follow the file.
  void ShowReloadedHistory();

  DrawHistory& history_;
  PositionInputPane positionPane_;
  WindmillSettingsPane windmillPane_;
  CoreSettingsPane corePane_;
  // The hidden set selectors, for "SysType1" (1059) to "SysType5" (1063).
  std::array<QComboBox*, kSettingsTypeCount> setSelectors_{};
  QPushButton* predictButton_ = nullptr;
  QPlainTextEdit* resultBox_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  // The draw list's pictures, by StatePicture.
  std::array<QIcon, 3> stateImages_{};
  int rowOfLastComplete_ = -1;
  // The count of the history that the draw list shows.
  int listedCount_ = 0;
  SettingsDialogFields fields_;
  HistoryFollower* follower_ = nullptr;
};

}  // namespace kitebar::app
