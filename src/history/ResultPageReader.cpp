#include "history/ResultPageReader.h"

#include <optional>
#include <utility>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/IndexPage.h"

namespace kitebar {
namespace {

constexpr char kCheckTheSiteAdvice[] = "結果サイトとネットワークの接続を確かめてください。";

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
  if (!FetchPage(baseUrl_ + kIndexPageName))
    return Status::Failure("サーバーから受け取れませんでした（" + fetcher_.failure() + "）",
                           Cause::kNetwork);
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
  if (!FetchPage(baseUrl_ + std::string(pageName))) {
    return Status::Failure("ページを取得できませんでした（" + fetcher_.failure() + "）。" +
                           kCheckTheSiteAdvice);
  }
  std::optional<std::string> text = fetcher_.TakeResponse();
  if (fetcher_.responseCut()) {
    return Status::Failure("ページが " +
                           FormatInt(static_cast<long long>(HttpFetcher::kResponseCapacity - 1)) +
                           " バイトを超えていて、全体を読めませんでした。" + kCheckTheSiteAdvice);
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
