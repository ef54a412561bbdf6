// The command handlers of WinningNumberDialog: each reads the controls, calls
// one core operation and shows the result.
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/BusyState.h"
#include "app/MessageBoxes.h"
#include "app/WinningNumberDialog.h"
#include "engine/BackTest.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "reports/HitReport.h"

namespace kitebar::app {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

void WinningNumberDialog::OnModify() {
  const QModelIndexList rows = controls_.drawList->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    MessageBoxes::Show(this, QStringLiteral("右のリストから修正する番号を選択してください。"),
                       QMessageBox::NoIcon);
    return;
  }
  const int row = std::min_element(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
                    return a.row() < b.row();
                  })->row();
  numberEntry = controls_.drawList->item(row, kWinningDigitsColumn)->text();
  ShowTargetDraw(row + 1);
  ShowValues();
}

// An entry that is not three digits once padded stores nothing and, like a
// stored one, returns the dialog to the next new draw. A failure to write a
// file leaves the dialog as it was, with the padded entry, so that the user
// can try again.
void WinningNumberDialog::OnRegister() {
  TakeValues();
  // Nothing typed (Enter pressed again on 登録>>) stores nothing: 000 is a
  // number that the user types.
  if (numberEntry.trimmed().isEmpty())
    return;
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(numberEntry.toStdString());
  numberEntry = QString::fromStdString(checked.padded);
  ShowValues();
  if (checked.valid) {
    const Result<Registration> registered =
        RegisterWinningNumber(history_, targetDraw, checked.padded);
    if (!registered) {
      MessageBoxes::ShowStop(this, FromUtf8(registered.message()));
      ShowChangedHistory();
      return;
    }
    if (!registered->recordProblem.empty()) {
      MessageBoxes::Show(this, FromUtf8("当選番号は登録しました。" + registered->recordProblem),
                         QMessageBox::Warning);
    }
  }
  ReturnToAppendMode();
}

void WinningNumberDialog::RunWebImport() {
  // The run shows its own failure message, with the reason; the message line
  // must not go on saying that it has started.
  if (!kitebar::RunWebImport(history_, fetcher_, *this, *this, [this] { pauseBeforeRequest(); }))
    AddMessageLine(kImportStoppedLine);
}

void WinningNumberDialog::OnShowHitHistory() {
  // Before the first registration there is no back-test file: nothing to show
  // yet, which the user would otherwise take for a broken button.
  std::error_code error;
  if (!std::filesystem::exists(kBackTestFile, error)) {
    MessageBoxes::ShowInformation(
        this, QStringLiteral("表示する当選履歴はまだありません。\n［登録>>］で次の回の当選番号を"
                             "登録するたびに、その回の予想の成績が 1 回分ずつ記録されていきます。"
                             "過去の回の成績は［過去300回の履歴］で見られます。"));
    return;
  }
  const Result<HitTallies> written = WriteHitReport(
      HitReportVariant::kRunning, !controls_.allDrawsRadio->isChecked(), &pageOpener_);
  if (!written)
    MessageBoxes::ShowStop(this, FromUtf8(written.message()));
}

void WinningNumberDialog::OnRecentHitHistory() {
  const Status tested = [this] {
    const BusyState busy;
    return RunRecentBackTest(history_);
  }();
  if (!tested) {
    MessageBoxes::ShowStop(this, FromUtf8(tested.message()));
    ShowChangedHistory();
    return;
  }
  ShowChangedHistory();
  WriteHitReport(HitReportVariant::kRecent, !controls_.allDrawsRadio->isChecked(), &pageOpener_);
}

}  // namespace kitebar::app
