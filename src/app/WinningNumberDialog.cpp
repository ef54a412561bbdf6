#include "app/WinningNumberDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "app/BusyState.h"
#include "app/DialogFeedback.h"
#include "app/DialogUnits.h"
#include "app/ListGeometry.h"
#include "app/MessageBoxes.h"
#include "app/ScreenFit.h"
#include "app/WindowPlacement.h"
#include "history/DrawHistory.h"

namespace kitebar::app {
namespace {

QTableWidgetItem* ListItem(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  return item;
}

void SetUpColumns(QTableWidget& list) {
  list.setColumnCount(2);
  list.setHorizontalHeaderLabels({QStringLiteral("回数"), QStringLiteral("番号")});
  list.setColumnWidth(kWinningDrawColumn, 40);
  list.setColumnWidth(kWinningDigitsColumn, 50);
  list.horizontalHeaderItem(kWinningDrawColumn)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list.horizontalHeaderItem(kWinningDigitsColumn)->setTextAlignment(Qt::AlignCenter);
}

}  // namespace

WinningNumberDialog::WinningNumberDialog(DrawHistory& history, PageOpener& pageOpener,
                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      pauseBeforeRequest(PauseWhilePainting),
      history_(history),
      pageOpener_(pageOpener),
      fetcher_(*this, sockets_) {
  setObjectName(QStringLiteral("winningNumberDialog"));
  setWindowTitle(QStringLiteral("当選番号編集"));
  setModal(true);
  setFont(SettingsDialogFont());
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(0, 0, 179, 267).size());
  controls_ = WinningNumberControls::Create(*this, units);
  follower_ = new HistoryFollower(history_, *this, [this] { ShowFollowedHistory(); });
  ConnectHandlers();
  OnInitDialog();
}

WinningNumberDialog::~WinningNumberDialog() = default;

void WinningNumberDialog::ConnectHandlers() {
  connect(controls_.importButton, &QPushButton::clicked, this, &WinningNumberDialog::RunWebImport);
  connect(controls_.modifyButton, &QPushButton::clicked, this, &WinningNumberDialog::OnModify);
  connect(controls_.registerButton, &QPushButton::clicked, this, &WinningNumberDialog::OnRegister);
  connect(controls_.hitHistoryButton, &QPushButton::clicked, this,
          &WinningNumberDialog::OnShowHitHistory);
  connect(controls_.recentHistoryButton, &QPushButton::clicked, this,
          &WinningNumberDialog::OnRecentHitHistory);
  // "閉じる" reads the entry into its field, then ends the dialog. It is the
  // default button, so Enter typed after a number would otherwise drop the
  // number unasked.
  connect(controls_.closeButton, &QPushButton::clicked, this, [this] {
    TakeValues();
    if (const std::optional<QString> number = UnregisteredNumber();
        number && !ConfirmCloseWithoutRegistering(*number))
      return;
    accept();
  });
}

void WinningNumberDialog::OnInitDialog() {
  targetDraw = 0;
  controls_.progressBar->setRange(0, 100);
  controls_.progressBar->setValue(0);
  FillDrawList(false);
  ShowTargetDraw(history_.count + 1);
  controls_.hitsOnlyRadio->setChecked(true);
  // Tab enters the pair of radio buttons at the checked one (the toolkit would
  // take whichever comes first); the arrow keys move to the other.
  controls_.allDrawsRadio->setFocusPolicy(Qt::ClickFocus);
}

void WinningNumberDialog::TakeValues() {
  numberEntry = controls_.numberEntry->text();
}

void WinningNumberDialog::ShowValues() {
  controls_.numberEntry->setText(numberEntry);
}

void WinningNumberDialog::FillDrawList(bool keepColumns) {
  QTableWidget& list = *controls_.drawList;
  list.setRowCount(0);
  listedCount_ = history_.count;
  if (!keepColumns)
    SetUpColumns(list);
  if (history_.count <= 0)
    return;
  const int rows = std::min(history_.count, DrawHistory::kMaxSlot);
  list.setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const std::string_view digits = history_.record(row + 1).digitsText();
    list.setItem(row, kWinningDrawColumn, ListItem(QString::number(row + 1), Qt::AlignLeft));
    list.setItem(row, kWinningDigitsColumn,
                 ListItem(QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size())),
                          Qt::AlignHCenter));
  }
  ScrollToLastDraw();
  list.setShowGrid(true);
  follower_->Shown();
}

void WinningNumberDialog::ScrollToLastDraw() {
  ScrollRowIntoView(*controls_.drawList, controls_.drawList->rowCount() - 1);
}

// The list can scroll only once it has its size on the screen.
void WinningNumberDialog::showEvent(QShowEvent* event) {
  FitToScreen(*this);
  PlaceOverOwner(*this);
  QDialog::showEvent(event);
  ScrollToLastDraw();
}

void WinningNumberDialog::ShowTargetDraw(int draw) {
  targetDraw = draw;
  controls_.drawLabel->setText(QStringLiteral("第 %1 回").arg(draw));
}

void WinningNumberDialog::ReturnToAppendMode() {
  ShowTargetDraw(history_.count + 1);
  numberEntry.clear();
  ShowValues();
  FillDrawList(true);
}

void WinningNumberDialog::ShowChangedHistory() {
  if (history_.count != listedCount_)
    ShowFollowedHistory();
}

std::optional<QString> WinningNumberDialog::UnregisteredNumber() const {
  if (numberEntry.isEmpty())
    return std::nullopt;
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(numberEntry.toStdString());
  if (!checked.valid ||
      (targetDraw <= history_.count && history_.record(targetDraw).digitsText() == checked.padded))
    return std::nullopt;
  return QString::fromStdString(checked.padded);
}

bool WinningNumberDialog::ConfirmCloseWithoutRegistering(const QString& number) {
  const QString text =
      QStringLiteral(
          "入力した番号「%1」は第 %2 回の当選番号として登録されていません。"
          "登録せずに閉じますか？\n（登録するには［いいえ］を選んで［登録>>］を押して"
          "ください。）")
          .arg(number)
          .arg(targetDraw);
  return MessageBoxes::Show(this, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) == QMessageBox::Yes;
}

void WinningNumberDialog::ShowFollowedHistory() {
  const bool appending = targetDraw > listedCount_;
  FillDrawList(true);
  if (appending)
    ShowTargetDraw(history_.count + 1);
}

void WinningNumberDialog::SetBusy(bool busy) {
  if (busy)
    busy_ = std::make_unique<BusyState>();
  else
    busy_.reset();
}

void WinningNumberDialog::RefreshControls() {
  ShowValues();
}

void WinningNumberDialog::RefillDrawList() {
  FillDrawList(true);
}

DialogFeedback WinningNumberDialog::ImportFeedback() {
  return DialogFeedback(this, controls_.progressBar, controls_.messageLine);
}

void WinningNumberDialog::SetProgress(int percent) {
  ImportFeedback().SetProgress(percent);
}

void WinningNumberDialog::AddMessageLine(std::string_view text) {
  ImportFeedback().AddMessageLine(text);
}

void WinningNumberDialog::ShowMessage(std::string_view text, MessageIcon icon) {
  const NormalCursor cursor;
  ImportFeedback().ShowMessage(text, icon);
}

}  // namespace kitebar::app
