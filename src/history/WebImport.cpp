#include "history/WebImport.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
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
// go on from the page after the last one read.
constexpr char kIndexFailedAdvice[] =
    "base.ini の [TvalUrl] BaseURL とネットワークの接続を確かめてから、もう一度実行してください。"
    "当選番号ファイルは変更していません。";
constexpr char kPageFailedAdvice[] =
    "それまでに読んだページの当選番号は保存されています。もう一度実行すると、続きのページから読み"
    "込みます。";

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
    const std::vector<std::string>& queue = reader_.pageNames();
    feedback_.SetProgress(kProgressAfterIndex);
    int progress = kFirstPageProgressBase;
    for (std::size_t k = StartIndex(queue, bookmark); k < queue.size(); ++k) {
      feedback_.AddMessageLine(ImportProgressLine(history_.count, static_cast<int>(k)));
      pauseBeforeRequest();
      if (Status read = ReadPage(queue[k]); !read)
        return FailAtPage(queue[k], read);
      progress = std::min(progress + kProgressPerPage, kMaxPageProgress);
      feedback_.SetProgress(progress);
      view_.RefreshControls();
      // A bookmark that cannot be written only makes the next run read more
      // pages again; the draws themselves are safe in the history file.
      WriteEndUrl(queue[k]);
    }
    feedback_.SetProgress(kProgressDone);
    feedback_.AddMessageLine(kImportFinishedLine);
    ShowHistory();
    view_.SetBusy(false);
    return Status::Ok();
  }

 private:
  Status ReadPage(const std::string& pageName) {
    if (Status read = reader_.ReadResultPage(pageName); !read)
      return read;
    view_.ShowTargetDraw(history_.count + 1);
    view_.RefreshControls();
    return ReplaceHistoryFile(reader_.ScratchFile(), history_);
  }

  void ShowHistory() {
    view_.ShowTargetDraw(history_.count + 1);
    view_.RefreshControls();
    view_.RefillDrawList();
  }

  Status FailAtPage(const std::string& pageName, const Status& read) {
    view_.SetBusy(false);
    ShowHistory();
    return Fail(pageName + ": " + read.message() + kPageFailedAdvice);
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
