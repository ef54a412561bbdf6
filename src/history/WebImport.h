#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/Feedback.h"
#include "common/Status.h"
#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"

namespace kitebar {

// The parts of the winning-number dialog that the import run updates; the
// command line gives an implementation that shows nothing.
class ImportView {
 public:
  virtual ~ImportView() = default;
  // The wait cursor while the run lasts.
  virtual void SetBusy(bool busy) = 0;
  // The draw label: the draw whose winning number is entered next.
  virtual void ShowTargetDraw(int draw) = 0;
  // The dialog's controls from its fields.
  virtual void RefreshControls() = 0;
  // The list of draws, keeping its columns.
  virtual void RefillDrawList() = 0;
};

// A run stops, as a failure that says so, after this many result pages in a
// row without a new draw: an index listing many pages that the history
// already holds would otherwise cost a request every one to two seconds for
// each of them, on every run. The bookmark names the last page read, so the
// next run goes on from there.
inline constexpr int kMaxPagesWithoutNewDraw = 10;

inline constexpr char kImportFailedMessage[] = "当選番号の取得に失敗しました。";
inline constexpr char kImportStartedLine[] = "処理を開始しました。";
inline constexpr char kImportFinishedLine[] = "完了しました。";
inline constexpr char kImportStoppedLine[] = "取り込みを中止しました。";

// "第 <count> 回　～　からの当選番号を処理しています。Web:<queue position>"
std::string ImportProgressLine(int count, int queuePosition);

// Waits until the whole-second clock has passed the current second plus one:
// between one and two seconds, so that the result site is not pressed.
void PauseBeforePageRequest();

// Brings the history up to date from the result site under [TvalUrl] BaseURL
// of "./base.ini": reads the index page, resumes at the page named by the
// bookmark [TvalUrl] EndURL, and after each result page puts the rewritten
// history file in place and moves the bookmark on. A page that was not read
// whole (a failed or cut fetch, a number that is not three digits, a gap)
// fails the run; the draws before the failure stay in the history file and
// the bookmark stays at the last page read whole. Progress goes to
// `feedback` (5 after the index page, 12, 14, ... at most 90, then 100);
// a failure is shown as the stop message "当選番号の取得に失敗しました。" and
// returned with what went wrong and what to do.
Status RunWebImport(DrawHistory& history, HttpFetcher& fetcher, ImportView& view,
                    Feedback& feedback,
                    const std::function<void()>& pauseBeforeRequest = PauseBeforePageRequest);

}  // namespace kitebar
