// The command handlers of SimulationSettingsDialog: each reads the controls,
// calls one core operation and shows the result.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <algorithm>

#include "app/DialogFeedback.h"
#include "app/MessageBoxes.h"
#include "app/SimulationSettingsDialog.h"
#include "common/NumberText.h"
#include "engine/PositionAnalysis.h"
#include "engine/PredictionRun.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "settings/SettingsUpdates.h"

namespace kitebar::app {
namespace {

// The wait cursor for the length of a blocking command.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

void SimulationSettingsDialog::OnModify() {
  const QModelIndexList rows = positionPane_.drawList->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    MessageBoxes::Show(this, QStringLiteral("右のリストから修正する番号を選択してください。"),
                       QMessageBox::NoIcon);
    return;
  }
  const int row = std::min_element(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
                    return a.row() < b.row();
                  })->row();
  const QTableWidget& list = *positionPane_.drawList;
  data.positionEntry = list.item(row, kPositionColumn)->text();
  // The row's own draw number, so that a history with gaps corrects the draw
  // that was picked.
  predictionDrawNumber = list.item(row, kDrawColumn)->text().toInt();
  ShowCurrentDraw(predictionDrawNumber,
                  ParseIntLikeAtoi(list.item(row, kDigitsColumn)->text().toStdString()));
  ShowValues();
}

void SimulationSettingsDialog::OnRegister() {
  TakeValues();
  if (CheckPositionEntry()) {
    const Result<Registration> registered =
        RegisterPosition(history_, predictionDrawNumber, data.positionEntry.toStdString());
    if (!registered) {
      MessageBoxes::ShowStop(this, FromUtf8(registered.message()));
      ShowReloadedHistory();
      return;
    }
  }
  predictionDrawNumber = history_.count + 1;
  ShowCurrentDraw(history_.count + 1, 0);
  data.positionEntry.clear();
  ShowValues();
  FillDrawList(true);
}

void SimulationSettingsDialog::AnalysePositions() {
  const bool automatic = positionPane_.reanalyseCheck->isChecked();
  const AnalysisMode mode = automatic ? AnalysisMode::kAutomatic : AnalysisMode::kSingle;
  const Result<PositionAnalysis> analysis = [&] {
    WaitCursor wait;
    DialogFeedback feedback(this, positionPane_.progressBar);
    return kitebar::AnalysePositions(history_, predictionDrawNumber, mode,
                                     windmillPane_.settingsTypeCombo->currentIndex(), feedback);
  }();
  if (!analysis) {
    MessageBoxes::ShowStop(this, FromUtf8(analysis.message()));
    if (automatic)
      ShowReloadedHistory();
    return;
  }
  if (automatic)
    FillDrawList(true);
  else
    data.positionEntry = FromUtf8(analysis->estimate);
  SetResultText(analysis->listing);
  ShowValues();
}

void SimulationSettingsDialog::PredictionRun(int drawNumber, bool showListing) {
  predictionDrawNumber = drawNumber;
  const Result<Prediction> prediction = kitebar::PredictionRun(history_, drawNumber, showListing);
  if (!prediction) {
    MessageBoxes::ShowStop(this, FromUtf8(prediction.message()));
    return;
  }
  // An estimate was stored, on the history as its file held it.
  if (prediction->estimated)
    ShowReloadedHistory();
  predictedCandidates = prediction->candidates;
  if (showListing) {
    SetResultText(prediction->listing);
    ShowValues();
  }
}

void SimulationSettingsDialog::OnPredict() {
  PredictionRun(predictionDrawNumber, true);
}

void SimulationSettingsDialog::OnSettingsTypeChanged(int selection) {
  FillWindmillPane(selection);
}

void SimulationSettingsDialog::FillWindmillPane(int selection) {
  const WindmillSettings settings = LoadWindmillSettings(selection);
  data.stopConstant = FromUtf8(settings.stopConstant);
  data.startToReach = settings.startToReach;
  data.startToHit = settings.startToHit;
  for (std::size_t place = 0; place < windmillPane_.speedSliders.size(); ++place) {
    windmillPane_.speedSliders[place]->setValue(settings.speedIndex[place]);
    OnSpeedReleased(place);
  }
  ShowValues();
}

void SimulationSettingsDialog::OnUpdateWindmillSettings() {
  TakeValues();
  WindmillSettings settings{
      data.stopConstant.toStdString(), data.startToReach, data.startToHit, {}};
  for (std::size_t place = 0; place < windmillPane_.speedSliders.size(); ++place)
    settings.speedIndex[place] = windmillPane_.speedSliders[place]->value();
  const Status updated =
      UpdateWindmillSettings(windmillPane_.settingsTypeCombo->currentIndex(), settings);
  if (!updated) {
    MessageBoxes::ShowStop(this, FromUtf8(updated.message()));
    return;
  }
  data.stopConstant = FromUtf8(settings.stopConstant);
  data.startToReach = settings.startToReach;
  data.startToHit = settings.startToHit;
  ShowValues();
  MessageBoxes::ShowInformation(this, QStringLiteral("更新しました。"));
}

void SimulationSettingsDialog::OnDefaults() {
  const WindmillSettings defaults = DefaultWindmillSettings();
  data.stopConstant = FromUtf8(defaults.stopConstant);
  data.startToReach = defaults.startToReach;
  data.startToHit = defaults.startToHit;
  corePane_.adjustRateSlider->setValue(kNormalSpeedIndex);
  OnAdjustRateReleased();
  for (std::size_t place = 0; place < windmillPane_.speedSliders.size(); ++place) {
    windmillPane_.speedSliders[place]->setValue(defaults.speedIndex[place]);
    OnSpeedReleased(place);
  }
  ShowValues();
  MessageBoxes::ShowInformation(this, QStringLiteral("デフォルトです。"));
}

void SimulationSettingsDialog::OnSpeedReleased(std::size_t place) {
  windmillPane_.speedLabels[place]->setText(SpeedWord(windmillPane_.speedSliders[place]->value()));
}

void SimulationSettingsDialog::OnAdjustRateReleased() {
  corePane_.adjustRateLabel->setText(AdjustRateText(corePane_.adjustRateSlider->value()));
}

void SimulationSettingsDialog::OnUpdateCoreSettings() {
  TakeValues();
  CoreSettings settings{corePane_.adjustRateSlider->value(), data.stepNum, data.targetDiameter};
  const Status updated = UpdateCoreSettings(settings);
  data.stepNum = settings.stepNum;
  data.targetDiameter = settings.targetDiameter;
  ShowValues();
  if (!updated) {
    MessageBoxes::ShowStop(this, FromUtf8(updated.message()));
    return;
  }
  MessageBoxes::ShowInformation(this, QStringLiteral("更新しました。"));
}

void SimulationSettingsDialog::OnSetSelectorChanged(int selector) {
  const QComboBox& combo = *setSelectors_[static_cast<std::size_t>(selector - 1)];
  if (const Status written = WriteSetSelector(selector, combo.currentIndex()); !written)
    MessageBoxes::ShowStop(this, FromUtf8(written.message()));
}

}  // namespace kitebar::app
