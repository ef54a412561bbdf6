#include "history/WebImport.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
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

// The scratch file takes the history file's place in one rename, so that the
// history file is never missing, not even for a moment.
Status ReplaceHistoryFile(const std::filesystem::path& scratch, const DrawHistory& history) {
  std::error_code error;
  std::filesystem::rename(scratch, history.file(), error);
  if (error) {
    return Status::Failure("「" + history.file().string() + "」を「" + scratch.string() +
                           "」で置き換えられません（" + DescribeSystemError(error.value()) +
                           "）。");
  }
  return Status::Ok();
}

// What the user can do after a failed run; the bookmark makes the next run
// go on from the last page read whole.
constexpr char kIndexFailedAdvice[] =
    "base.ini の [TvalUrl] BaseURL とネットワークの接続を確かめてから、もう一度実行してください。"
    "当選番号ファイルは変更していません。";
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
    if (!reader_.ReadIndexPage()) {
      view_.SetBusy(false);
      return Fail("結果サイトの目次ページ（" + std::string(kIndexPageName) +
                  "）を読めませんでした。" + kIndexFailedAdvice);
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
        return FailAtPage(queue[k], page.status());
      const int countBefore = history_.count;
      if (Status read = ReadPage(queue[k], *page); !read)
        return FailAtPage(queue[k], read);
      progress = std::min(progress + kProgressPerPage, kMaxPageProgress);
      feedback_.SetProgress(progress);
      view_.RefreshControls();
      if (Status marked = WriteEndUrl(queue[k]); !marked)
        return FailAtBookmark(queue[k], marked);
      pagesWithoutNewDraw = history_.count > countBefore ? 0 : pagesWithoutNewDraw + 1;
      if (pagesWithoutNewDraw == kMaxPagesWithoutNewDraw && k + 1 < queue.size())
        return FailWithoutNewDraws(queue[k]);
    }
    feedback_.SetProgress(kProgressDone);
    feedback_.AddMessageLine(kImportFinishedLine);
    ShowHistory();
    view_.SetBusy(false);
    return Status::Ok();
  }

 private:
  // Reads the page into the history and puts the draws it added in the
  // history file. A page that stops part way keeps the draws before the
  // stop, which are sound, and fails: the bookmark does not move past it.
  Status ReadPage(const std::string& pageName, std::string_view text) {
    const int countBefore = history_.count;
    const Status read = ReadResultPageText(pageName, text, history_);
    if (history_.count > countBefore) {
      if (Status stored = StoreHistory(); !stored)
        return stored;
    }
    if (!read)
      return read;
    view_.ShowTargetDraw(history_.count + 1);
    view_.RefreshControls();
    return Status::Ok();
  }

  Status StoreHistory() {
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
      return "当選番号ファイルは変更していません。";
    return "第 " + FormatInt(savedCount_) + " 回までの当選番号は保存されています。";
  }

  Status FailAtPage(const std::string& pageName, const Status& failure) {
    return FailAfterPages(pageName + ": " + failure.message() + SavedSoFar() + kResumeAdvice);
  }

  Status FailAtBookmark(const std::string& pageName, const Status& failure) {
    return FailAfterPages(
        "第 " + FormatInt(savedCount_) + " 回までの当選番号は保存しましたが、読み終えたページ（" +
        pageName + "）を base.ini に記録できません: " + failure.message() +
        "。base.ini とフォルダーの書き込み権限を確かめてください。次に実行すると、"
        "前に記録したページから読み直します。");
  }

  Status FailWithoutNewDraws(const std::string& pageName) {
    return FailAfterPages(
        "結果サイトのページを " + FormatInt(kMaxPagesWithoutNewDraw) +
        " ページ続けて読みましたが、新しい当選番号がなかったため止めました（最後に読んだページ: " +
        pageName + "）。" + SavedSoFar() + "もう一度実行すると、続きのページから読み込みます。");
  }

  Status FailAfterPages(const std::string& detail) {
    view_.SetBusy(false);
    ShowHistory();
    return Fail(detail);
  }

  // The stop message is the fixed one; the returned failure says what went
  // wrong and what to do, for a caller that can show more.
  Status Fail(const std::string& detail) {
    feedback_.ShowMessage(kImportFailedMessage, MessageIcon::kStop);
    return Status::Failure(detail);
  }

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
