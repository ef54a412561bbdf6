#include "history/ResultPageReader.h"

#include <optional>
#include <utility>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/IndexPage.h"

namespace kitebar {
namespace {

// A message of the fetcher inside brackets, without its own full stop.
std::string Bracketed(std::string_view message) {
  constexpr std::string_view kFullStop = "。";
  if (message.ends_with(kFullStop))
    message.remove_suffix(kFullStop.size());
  return "（" + std::string(message) + "）";
}

// What went wrong with a fetch, and its cause: a URL that was not sent (the
// message says how to mend it), no answer, or the wrong answer. The caller
// names the page.
Status FetchFailure(const HttpFetcher& fetcher) {
  switch (fetcher.failureKind()) {
    case HttpFetcher::FailureKind::kAddress:
      return Status::Failure(fetcher.failure() +
                             "要求は送っていません。base.ini の [TvalUrl] BaseURL を http:// で"
                             "始まる正しい URL に直してから、もう一度実行してください。");
    case HttpFetcher::FailureKind::kAnswer:
      if (!fetcher.answeredStatus().empty()) {
        return Status::Failure(
            "サーバーはこの要求に「" + fetcher.answeredStatus() + "」と答えました", Cause::kServer);
      }
      return Status::Failure("サーバーの応答を読めませんでした" + Bracketed(fetcher.failure()),
                             Cause::kServer);
    case HttpFetcher::FailureKind::kNone:
    case HttpFetcher::FailureKind::kNetwork:
      break;
  }
  return Status::Failure("サーバーから受け取れませんでした" + Bracketed(fetcher.failure()),
                         Cause::kNetwork);
}

}  // namespace

ResultPageReader::ResultPageReader(HttpFetcher& fetcher, DrawHistory& history, std::string baseUrl)
    : fetcher_(fetcher), history_(history), baseUrl_(std::move(baseUrl)) {}

std::filesystem::path ResultPageReader::ScratchFile() const {
  return history_.file().parent_path() / kImportScratchFileName;
}

bool ResultPageReader::FetchPage(std::string_view url) {
  return fetcher_.Connect(url) && fetcher_.Fetch();
}

Status ResultPageReader::ReadIndexPage() {
  const std::string url = baseUrl_ + kIndexPageName;
  if (!FetchPage(url))
    return FetchFailure(fetcher_);
  const int startCount = history_.count;
  pageNames_.clear();
  const std::optional<std::string> text = fetcher_.TakeResponse();
  std::optional<std::vector<std::string>> queue = BuildPageQueue(text.value_or(""), startCount);
  if (!queue) {
    return Status::Failure(
        "ページは届きましたが、目次の印「★過去のデータ★」がなく、結果のページを探せません",
        Cause::kServer);
  }
  pageNames_ = std::move(*queue);
  return Status::Ok();
}

Result<std::string> ResultPageReader::FetchResultPage(std::string_view pageName) {
  const std::string url = baseUrl_ + std::string(pageName);
  if (!FetchPage(url))
    return FetchFailure(fetcher_);
  std::optional<std::string> text = fetcher_.TakeResponse();
  if (fetcher_.responseCut()) {
    return Status::Failure(
        "ページが " + FormatInt(static_cast<long long>(HttpFetcher::kResponseCapacity - 1)) +
            " バイトを超えていて、全体を読めませんでした",
        Cause::kServer);
  }
  return std::move(text).value_or(std::string());
}

Status ResultPageReader::WriteScratchFile() const {
  // Never through a link planted at the scratch file's name.
  if (Status written = kitebar::WriteScratchFile(ScratchFile(), history_.SaveText()); !written)
    return written.Wrapped("読み込んだ当選番号を書き込めません: ");
  return Status::Ok();
}

}  // namespace kitebar
