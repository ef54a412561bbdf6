#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "app/DialogFeedback.h"
#include "app/HistoryFollower.h"
#include "app/PaintingSocketApi.h"
#include "app/WinningNumberControls.h"
#include "common/Feedback.h"
#include "history/HttpFetcher.h"
#include "history/WebImport.h"

namespace kitebar {
class DrawHistory;
class PageOpener;
}  // namespace kitebar

namespace kitebar::app {

class BusyState;

// The modal dialog "当選番号編集": typing in or correcting the winning numbers
// of the application's draw history, the two hit-statistics pages, and the
// import from the result site. Every change goes straight into the history and
// its file; the dialog keeps only the entry and the draw that the next
// registration writes.
//
// It is the import's view and feedback: the run shows its progress, its
// message line and its messages here, and the pause before each page request
// keeps the window painting while it takes no input.
class WinningNumberDialog final : public QDialog, public ImportView, public Feedback {
  Q_OBJECT

 public:
  // Builds the controls and opens the dialog on `history`; pages go to the
  // browser through `pageOpener`.
  WinningNumberDialog(DrawHistory& history, PageOpener& pageOpener, QWidget* parent = nullptr);
  ~WinningNumberDialog() override;

  // The exchange between the entry and `numberEntry`.
  void TakeValues();
  void ShowValues();

  // Rebuilds the rows of the draw list, one per draw 1 to count; without
  // `keepColumns` first sets up its columns.
  void FillDrawList(bool keepColumns);
  // Makes `draw` the draw of the next registration and shows it in the draw
  // label: count + 1 appends, a listed draw is corrected.
  void ShowTargetDraw(int draw) override;

  void OnModify();
  void OnRegister();
  void RunWebImport();
  void OnShowHitHistory();
  void OnRecentHitHistory();

  // The import's side of the dialog.
  void SetBusy(bool busy) override;
  void RefreshControls() override;
  void RefillDrawList() override;
  void SetProgress(int percent) override;
  void AddMessageLine(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;

  const WinningNumberControls& controls() const { return controls_; }

  // The entry, at most three characters.
  QString numberEntry;
  // The draw that the next registration writes: count + 1, or a draw chosen
  // with "<<修正".
  int targetDraw = 0;
  // The wait before each result-page request of the import.
  std::function<void()> pauseBeforeRequest;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ConnectHandlers();
  void OnInitDialog();
  // The number in the entry, as it would be registered, when the target draw
  // does not have it yet.
  std::optional<QString> UnregisteredNumber() const;
  // Asks whether to close without registering `number`; No is the default.
  bool ConfirmCloseWithoutRegistering(const QString& number);
  void ScrollToLastDraw();
  void ReturnToAppendMode();
  // After a write that another Kitebar's changes refused or reloaded: the list,
  // and in append mode the draw label, follow the history as it is now.
  void ShowChangedHistory();
  // The history file changed while the dialog is open: the list follows it,
  // and so does the draw label when it showed the next draw.
  void ShowFollowedHistory();
  // The progress bar, the message line and the message boxes of the import.
  DialogFeedback ImportFeedback();

  DrawHistory& history_;
  PageOpener& pageOpener_;
  PaintingSocketApi sockets_;
  HttpFetcher fetcher_;
  WinningNumberControls controls_;
  std::unique_ptr<BusyState> busy_;
  // The count of the history that the draw list shows.
  int listedCount_ = 0;
  HistoryFollower* follower_ = nullptr;
};

}  // namespace kitebar::app
