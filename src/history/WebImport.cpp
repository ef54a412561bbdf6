#include "history/WebImport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "common/AtomicFile.h"
#include "common/FolderLock.h"
#include "common/NumberText.h"
#include "history/HistoryChange.h"
#include "history/ResultPage.h"
#include "history/ResultPageReader.h"
#include "settings/SettingsFiles.h"

namespace kitebar {
namespace {

constexpr int kProgressAfterIndex = 5;
constexpr int kFirstPageProgressBase = 10;
constexpr int kProgressPerPage = 2;
constexpr int kMaxPageProgress = 90;
constexpr int kProgressDone = 100;
// A bookmark of two characters (the default "er" among them) names no page.
constexpr std::size_t kNoPageBookmarkLength = 2;

std::size_t StartIndex(const std::vector<std::string>& queue, const EndUrl& bookmark) {
  if (bookmark.length == kNoPageBookmarkLength)
    return 0;
  const auto found = std::find_if(queue.begin(), queue.end(), [&](const std::string& name) {
    return bookmark.name.find(name) != std::string::npos;
  });
  return found == queue.end() ? 0 : static_cast<std::size_t>(found - queue.begin());
}

std::string ReplaceFailure(const std::filesystem::path& scratch, const DrawHistory& history,
                           const std::string& reason) {
  return "「" + history.file().string() + "」を「" + scratch.string() + "」で置き換えられません（" +
         reason + "）。";
}

// The scratch file takes the history file's place in one rename, so that the
// history file is never missing, not even for a moment; it first takes the
// history file's permissions.
Status ReplaceHistoryFile(const std::filesystem::path& scratch, const DrawHistory& history) {
  if (Status renamed = RenameOver(scratch, history.file()); !renamed.ok())
    return Status::Failure(ReplaceFailure(scratch, history, renamed.what()), renamed.cause());
  return Status::Ok();
}

// What the user can do after a failed run; the bookmark makes the next run
// go on from the last page read whole.
constexpr char kNothingChanged[] = "当選番号ファイルは変更していません。";
constexpr char kResumeAdvice[] = "もう一度実行すると、最後に読み終えたページから読み込みます。";

class WebImportRun {
 public:
  WebImportRun(DrawHistory& history, HttpFetcher& fetcher, ImportView& view, Feedback& feedback)
      : history_(history),
        view_(view),
        feedback_(feedback),
        reader_(fetcher, history, ReadBaseUrl()) {}

  Status Run(const std::function<void()>& pauseBeforeRequest) {
    view_.SetBusy(true);
    feedback_.AddMessageLine(kImportStartedLine);
    const EndUrl bookmark = ReadEndUrl();
    // The queue depends on the last draw: the history as the file holds it
    // now, and a damaged history or another writer's lock is reported before
    // any request.
    if (Status fresh = BeginHistoryChange(history_).status(); !fresh) {
      view_.SetBusy(false);
      return Fail(fresh);
    }
    if (const Status index = reader_.ReadIndexPage(); !index) {
      view_.SetBusy(false);
      return Fail(index.Wrapped("結果サイトの目次ページ（" + reader_.baseUrl() + kIndexPageName +
                                    "）を読めませんでした: ",
                                kNothingChanged));
    }
    startCount_ = savedCount_ = history_.count;
    const std::vector<std::string>& queue = reader_.pageNames();
    feedback_.SetProgress(kProgressAfterIndex);
    int progress = kFirstPageProgressBase;
    int pagesWithoutNewDraw = 0;
    for (std::size_t k = StartIndex(queue, bookmark); k < queue.size(); ++k) {
      feedback_.AddMessageLine(ImportProgressLine(history_.count, static_cast<int>(k)));
      pauseBeforeRequest();
      const Result<std::string> page = reader_.FetchResultPage(queue[k]);
      if (!page)
        return FailAfterPages(PageFailure(queue[k], page.status()));
      const Result<int> added = StorePage(queue[k], *page);
      if (!added)
        return FailAfterPages(added.status());
      progress = std::min(progress + kProgressPerPage, kMaxPageProgress);
      feedback_.SetProgress(progress);
      view_.RefreshControls();
      pagesWithoutNewDraw = *added > 0 ? 0 : pagesWithoutNewDraw + 1;
      if (pagesWithoutNewDraw == kMaxPagesWithoutNewDraw && k + 1 < queue.size())
        return FailAfterPages(Status::Failure(WithoutNewDrawsFailure(queue[k])));
    }
    feedback_.SetProgress(kProgressDone);
    feedback_.AddMessageLine(kImportFinishedLine);
    ShowHistory();
    view_.SetBusy(false);
    return Status::Ok();
  }

 private:
  // One fetched page as a change of the folder, under its lock: the history
  // is reloaded, so that draws another Kitebar stored since are neither lost
  // nor taken twice; the page's new draws go to the history file; the
  // bookmark names the page. A page that stops part way keeps the draws
  // before the stop, which are sound, and fails: the bookmark does not move
  // past it. Returns how many draws the page added, or the failure's whole
  // detail; the lock is released before the failure is shown.
  Result<int> StorePage(const std::string& pageName, std::string_view text) {
    const Result<FolderLock> change = BeginHistoryChange(history_);
    if (!change)
      return PageFailure(pageName, change.status());
    const int countBefore = history_.count;
    const Status read = ReadResultPageText(pageName, text, history_);
    if (history_.count > countBefore) {
      if (Status stored = StoreHistory(); !stored)
        return PageFailure(pageName, stored);
    }
    if (!read)
      return PageFailure(pageName, read);
    view_.ShowTargetDraw(history_.count + 1);
    view_.RefreshControls();
    if (Status marked = WriteEndUrl(pageName); !marked)
      return BookmarkFailure(pageName, marked);
    return history_.count - countBefore;
  }

  // A read-only history file is refused before anything is written, and the
  // file that takes its place keeps its permissions.
  Status StoreHistory() {
    if (Status replaceable = CheckReplaceable(history_.file()); !replaceable)
      return replaceable;
    if (Status written = reader_.WriteScratchFile(); !written)
      return written;
    if (Status replaced = ReplaceHistoryFile(reader_.ScratchFile(), history_); !replaced)
      return replaced;
    savedCount_ = history_.count;
    return Status::Ok();
  }

  void ShowHistory() {
    view_.ShowTargetDraw(history_.count + 1);
    view_.RefreshControls();
    view_.RefillDrawList();
  }

  std::string SavedSoFar() const {
    if (savedCount_ == startCount_)
      return kNothingChanged;
    return "第 " + FormatInt(savedCount_) + " 回までの当選番号は保存されています。";
  }

  Status PageFailure(const std::string& pageName, const Status& failure) const {
    return failure.Wrapped(pageName + ": ", SavedSoFar() + kResumeAdvice);
  }

  Status BookmarkFailure(const std::string& pageName, const Status& failure) const {
    return failure.Wrapped("第 " + FormatInt(savedCount_) +
                               " 回までの当選番号は保存しましたが、読み終えたページ（" + pageName +
                               "）を base.ini に記録できません: ",
                           "次に実行すると、前に記録したページから読み直します。");
  }

  std::string WithoutNewDrawsFailure(const std::string& pageName) const {
    return "結果サイトのページを " + FormatInt(kMaxPagesWithoutNewDraw) +
           " ページ続けて読みましたが、新しい当選番号がなかったため止めました（最後に読んだページ:"
           " " +
           pageName + "）。" + SavedSoFar() + "もう一度実行すると、続きのページから読み込みます。";
  }

  Status FailAfterPages(const Status& failure) {
    view_.SetBusy(false);
    ShowHistory();
    return Fail(failure);
  }

  // The stop message begins with the fixed one and goes on with what went
  // wrong and what to do, which the returned failure says as well.
  Status Fail(const Status& failure) {
    const std::string detail = failure.message();
    feedback_.ShowMessage(std::string(kImportFailedMessage) + "\n" + detail, MessageIcon::kStop);
    return failure;
  }
  Status Fail(const std::string& detail) { return Fail(Status::Failure(detail)); }

  DrawHistory& history_;
  ImportView& view_;
  Feedback& feedback_;
  ResultPageReader reader_;
  // The history's count when the pages began, and the last draw in the
  // history file since.
  int startCount_ = 0;
  int savedCount_ = 0;
};

}  // namespace

std::string ImportProgressLine(int count, int queuePosition) {
  return "第 " + FormatInt(count) +
         " 回　～　からの当選番号を処理しています。Web:" + FormatInt(queuePosition);
}

void PauseBeforePageRequest() {
  using Clock = std::chrono::steady_clock;
  const auto now = std::chrono::floor<std::chrono::seconds>(Clock::now());
  std::this_thread::sleep_until(now + std::chrono::seconds(2));
}

Status RunWebImport(DrawHistory& history, HttpFetcher& fetcher, ImportView& view,
                    Feedback& feedback, const std::function<void()>& pauseBeforeRequest) {
  return WebImportRun(history, fetcher, view, feedback).Run(pauseBeforeRequest);
}

}  // namespace kitebar
