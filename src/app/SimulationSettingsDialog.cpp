#include "app/SimulationSettingsDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <vector>

#include "app/ListGeometry.h"
#include "app/ScreenFit.h"
#include "app/SettingsControls.h"
#include "app/SettingsPictures.h"
#include "app/WindowPlacement.h"
#include "history/DrawHistory.h"
#include "settings/SettingsFiles.h"
#include "settings/SettingsUpdates.h"

namespace kitebar::app {
namespace {

StatePicture PictureOf(const DrawRecord& record) {
  if (record.position[0] == '\0')
    return kUnsetPicture;
  if (record.status == '0')
    return kEstimatedPicture;
  return record.status == '1' ? kDecidedPicture : kUnsetPicture;
}

QString DigitsColumnText(const DrawRecord& record) {
  if (record.digits[0] == 'x')
    return {};
  const std::string_view digits = record.digitsText();
  return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

QString PositionColumnText(const DrawRecord& record) {
  if (!record.hasPosition() || (record.status != '0' && record.status != '1'))
    return {};
  return QString::fromLatin1(record.position.data(), 3);
}

QTableWidgetItem* ListItem(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  return item;
}

void SetUpColumns(QTableWidget& list) {
  list.setColumnCount(3);
  list.setHorizontalHeaderLabels(
      {QStringLiteral("回数"), QStringLiteral("当選番号"), QStringLiteral("風車位置")});
  // A four-digit draw number must stay readable beside its 16-pixel state
  // picture, whatever font the system substitutes for the dialog's own; the
  // two other columns share what is left.
  SpreadColumns(list, std::max(50, list.fontMetrics().horizontalAdvance(QStringLiteral("9999")) +
                                       kStatePictureSize + 16));
  const std::array<Qt::Alignment, 3> alignments{Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter};
  for (int column = 0; column < 3; ++column) {
    list.horizontalHeaderItem(column)->setTextAlignment(
        alignments[static_cast<std::size_t>(column)] | Qt::AlignVCenter);
  }
}

}  // namespace

SimulationSettingsDialog::SimulationSettingsDialog(DrawHistory& history, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      history_(history) {
  setObjectName(QStringLiteral("simulationSettingsDialog"));
  setWindowTitle(QStringLiteral("シミュレート設定"));
  setModal(true);
  CreateControls();
  follower_ = new HistoryFollower(history_, *this, [this] { ShowReloadedHistory(); });
  ConnectHandlers();
  OnInitDialog();
}

void SimulationSettingsDialog::CreateControls() {
  setFont(SettingsDialogFont());
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(0, 0, 379, 257).size());
  positionPane_ = PositionInputPane::Create(*this, units);
  windmillPane_ = WindmillSettingsPane::Create(*this, units);
  corePane_ = CoreSettingsPane::Create(*this, units);
  closeButton_ = PlaceControl(new QPushButton(QStringLiteral("閉じる"), this),
                              QStringLiteral("closeButton"), 1, units.ToPixels(7, 239, 80, 14));
  closeButton_->setDefault(true);
  CreateHiddenControls(units);
  fields_ = {.positionEntry = positionPane_.positionEntry,
             .stopConstant = windmillPane_.stopConstant,
             .startToReach = windmillPane_.reachEntries,
             .startToHit = windmillPane_.hitEntries,
             .stepNum = corePane_.stepNumEntry,
             .targetDiameter = corePane_.diameterEntry};
}

// Created hidden, and the prediction button and the result box disabled as
// well: nothing in the program shows them.
void SimulationSettingsDialog::CreateHiddenControls(const DialogUnits& units) {
  for (std::size_t index = 0; index < setSelectors_.size(); ++index) {
    const int number = static_cast<int>(index) + 1;
    QComboBox* selector =
        PlaceControl(new QComboBox(this), QStringLiteral("setSelector%1").arg(number),
                     1058 + number, units.ToPixels(7 + 16 * static_cast<int>(index), 240, 16, 13));
    AddSettingsTypeItems(*selector);
    selector->hide();
    setSelectors_[index] = selector;
  }
  predictButton_ =
      PlaceControl(new QPushButton(QStringLiteral("予想"), this), QStringLiteral("predictButton"),
                   1057, units.ToPixels(91, 239, 30, 14));
  resultBox_ = PlaceControl(new QPlainTextEdit(this), QStringLiteral("resultBox"), 1018,
                            units.ToPixels(125, 239, 62, 14));
  resultBox_->setReadOnly(true);
  resultBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (QWidget* control :
       {static_cast<QWidget*>(predictButton_), static_cast<QWidget*>(resultBox_)}) {
    control->setEnabled(false);
    control->hide();
  }
}

void SimulationSettingsDialog::ConnectTrackBar(QSlider* slider, std::function<void()> handler) {
  connect(slider, &QSlider::sliderReleased, this, handler);
  // Keys and clicks beside the thumb move it without a drag to release.
  connect(slider, &QSlider::valueChanged, this, [slider, handler] {
    if (!slider->isSliderDown())
      handler();
  });
}

void SimulationSettingsDialog::ConnectHandlers() {
  connect(positionPane_.modifyButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::OnModify);
  connect(positionPane_.registerButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::OnRegister);
  connect(positionPane_.analyseButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::AnalysePositions);
  connect(predictButton_, &QPushButton::clicked, this, &SimulationSettingsDialog::OnPredict);
  connect(windmillPane_.settingsTypeCombo, &QComboBox::activated, this,
          &SimulationSettingsDialog::OnSettingsTypeChanged);
  connect(windmillPane_.updateButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::OnUpdateWindmillSettings);
  connect(windmillPane_.defaultsButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::OnDefaults);
  for (std::size_t place = 0; place < windmillPane_.speedSliders.size(); ++place)
    ConnectTrackBar(windmillPane_.speedSliders[place], [this, place] { OnSpeedReleased(place); });
  ConnectTrackBar(corePane_.adjustRateSlider, [this] { OnAdjustRateReleased(); });
  connect(corePane_.updateButton, &QPushButton::clicked, this,
          &SimulationSettingsDialog::OnUpdateCoreSettings);
  for (std::size_t index = 0; index < setSelectors_.size(); ++index) {
    connect(setSelectors_[index], &QComboBox::activated, this,
            [this, index] { OnSetSelectorChanged(static_cast<int>(index) + 1); });
  }
  connect(closeButton_, &QPushButton::clicked, this, &SimulationSettingsDialog::OnOK);
}

void SimulationSettingsDialog::OnInitDialog() {
  ShowValues();
  positionPane_.progressBar->setRange(0, 100);
  positionPane_.progressBar->setValue(0);
  FillDrawList(false);
  predictionDrawNumber = history_.count + 1;
  ShowCurrentDraw(history_.count + 1, 0);
  const CoreSettings core = LoadCoreSettings();
  data.stepNum = core.stepNum;
  data.targetDiameter = core.targetDiameter;
  windmillPane_.settingsTypeCombo->setCurrentIndex(0);
  for (std::size_t index = 0; index < setSelectors_.size(); ++index) {
    const int chosen = ReadSysType(static_cast<int>(index) + 1);
    setSelectors_[index]->setCurrentIndex(
        chosen >= 0 && chosen < setSelectors_[index]->count() ? chosen : -1);
  }
  FillWindmillPane(0);
  corePane_.adjustRateSlider->setValue(core.adjustRate);
  corePane_.adjustRateLabel->setText(AdjustRateText(corePane_.adjustRateSlider->value()));
  ShowValues();
}

bool SimulationSettingsDialog::TakeValues() {
  return app::TakeValues(fields_, data, this);
}

void SimulationSettingsDialog::ShowValues() {
  app::ShowValues(fields_, data);
}

void SimulationSettingsDialog::ShowCurrentDraw(int draw, int number) {
  positionPane_.drawLabel->setText(QStringLiteral("第 %1 回").arg(draw));
  positionPane_.winningNumberLabel->setText(
      number == 0 ? QStringLiteral("当選番号：?????")
                  : QStringLiteral("当選番号：%1").arg(number, 3, 10, QLatin1Char('0')));
}

void SimulationSettingsDialog::ShowReloadedHistory() {
  const bool appending = predictionDrawNumber > listedCount_;
  FillDrawList(true);
  if (appending) {
    predictionDrawNumber = history_.count + 1;
    ShowCurrentDraw(predictionDrawNumber, 0);
  }
}

void SimulationSettingsDialog::FillDrawList(bool refill) {
  QTableWidget& list = *positionPane_.drawList;
  list.setRowCount(0);
  listedCount_ = history_.count;
  if (!refill) {
    SetUpColumns(list);
    for (const StatePicture picture : {kEstimatedPicture, kUnsetPicture, kDecidedPicture})
      stateImages_[picture] = QIcon(StatePicturePixmap(picture));
  }
  std::vector<int> draws;
  for (int draw = 1; draw <= std::min(history_.count + 1, DrawHistory::kMaxSlot); ++draw) {
    if (history_.record(draw).exists())
      draws.push_back(draw);
  }
  list.setRowCount(static_cast<int>(draws.size()));
  rowOfLastComplete_ = -1;
  for (int row = 0; row < list.rowCount(); ++row) {
    const int draw = draws[static_cast<std::size_t>(row)];
    const DrawRecord& record = history_.record(draw);
    QTableWidgetItem* number = ListItem(QString::number(draw), Qt::AlignLeft);
    number->setIcon(stateImages_[PictureOf(record)]);
    list.setItem(row, kDrawColumn, number);
    list.setItem(row, kDigitsColumn, ListItem(DigitsColumnText(record), Qt::AlignHCenter));
    list.setItem(row, kPositionColumn, ListItem(PositionColumnText(record), Qt::AlignHCenter));
    if (draw == history_.count)
      rowOfLastComplete_ = row;
  }
  ScrollToLastComplete();
  list.setShowGrid(true);
  list.setSelectionBehavior(QAbstractItemView::SelectRows);
  follower_->Shown();
}

void SimulationSettingsDialog::ScrollToLastComplete() {
  ScrollRowIntoView(*positionPane_.drawList, rowOfLastComplete_);
}

// The list can scroll only once it has its size on the screen.
void SimulationSettingsDialog::showEvent(QShowEvent* event) {
  FitToScreen(*this);
  PlaceOverOwner(*this);
  QDialog::showEvent(event);
  ScrollToLastComplete();
}

bool SimulationSettingsDialog::CheckPositionEntry() {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(data.positionEntry.toStdString());
  data.positionEntry = QString::fromStdString(checked.padded);
  ShowValues();
  return checked.valid;
}

void SimulationSettingsDialog::SetResultText(const std::string& listing) {
  QString text = QString::fromStdString(listing);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  resultBox_->setPlainText(text);
}

void SimulationSettingsDialog::OnOK() {
  if (TakeValues())
    accept();
}

}  // namespace kitebar::app
