#include "history/ResultPageReader.h"

#include <optional>
#include <utility>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/IndexPage.h"

namespace kitebar {
namespace {

constexpr char kCheckTheFolder[] =
    "base.ini の [TvalUrl] BaseURL が結果サイトのページのあるフォルダーを指しているか確かめて";

// A message of the fetcher inside brackets, without its own full stop.
std::string Bracketed(std::string_view message) {
  constexpr std::string_view kFullStop = "。";
  if (message.ends_with(kFullStop))
    message.remove_suffix(kFullStop.size());
  return "（" + std::string(message) + "）";
}

// What the user sees of a failed fetch of `url`: what happened (a sentence)
// and what to check ("…確かめて"), which the caller ends.
struct FetchProblem {
  std::string what;
  std::string check;
};

FetchProblem DescribeFailedFetch(const HttpFetcher& fetcher, std::string_view url) {
  switch (fetcher.failureKind()) {
    case HttpFetcher::FailureKind::kAddress:
      return {fetcher.failure() + "要求は送っていません。",
              "base.ini の [TvalUrl] BaseURL を http:// で始まる正しい URL に直して"};
    case HttpFetcher::FailureKind::kAnswer:
      if (!fetcher.answeredStatus().empty()) {
        return {"サーバーは " + std::string(url) + " の要求に「" + fetcher.answeredStatus() +
                    "」と答えました。",
                kCheckTheFolder};
      }
      return {"サーバーの応答を読めませんでした" + Bracketed(fetcher.failure()) + "。",
              "結果サイトが正しく応答しているか確かめて"};
    case HttpFetcher::FailureKind::kNone:
    case HttpFetcher::FailureKind::kNetwork:
      break;
  }
  return {"サーバーから受け取れませんでした" + Bracketed(fetcher.failure()) + "。",
          "base.ini の [TvalUrl] BaseURL とネットワークの接続を確かめて"};
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
  if (!FetchPage(url)) {
    const FetchProblem problem = DescribeFailedFetch(fetcher_, url);
    return Status::Failure(problem.what + problem.check + "から、もう一度実行してください。");
  }
  const int startCount = history_.count;
  pageNames_.clear();
  const std::optional<std::string> text = fetcher_.TakeResponse();
  std::optional<std::vector<std::string>> queue = BuildPageQueue(text.value_or(""), startCount);
  if (!queue) {
    return Status::Failure(
        "ページは届きましたが、目次の印「★過去のデータ★」がなく、結果のページを探せません。" +
        std::string(kCheckTheFolder) + "から、もう一度実行してください。");
  }
  pageNames_ = std::move(*queue);
  return Status::Ok();
}

Result<std::string> ResultPageReader::FetchResultPage(std::string_view pageName) {
  const std::string url = baseUrl_ + std::string(pageName);
  if (!FetchPage(url)) {
    const FetchProblem problem = DescribeFailedFetch(fetcher_, url);
    return Status::Failure(problem.what + problem.check + "ください。");
  }
  std::optional<std::string> text = fetcher_.TakeResponse();
  if (fetcher_.responseCut()) {
    return Status::Failure("ページが " +
                           FormatInt(static_cast<long long>(HttpFetcher::kResponseCapacity - 1)) +
                           " バイトを超えていて、全体を読めませんでした。結果サイトを確かめてく"
                           "ださい。");
  }
  return std::move(text).value_or(std::string());
}

Status ResultPageReader::WriteScratchFile() const {
  if (Status written = WriteFileAtomically(ScratchFile(), history_.SaveText()); !written) {
    return Status::Failure("読み込んだ当選番号を書き込めません: " + written.message() +
                           "。フォルダーの書き込み権限と空き容量を確かめてください。");
  }
  return Status::Ok();
}

}  // namespace kitebar
