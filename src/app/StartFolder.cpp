#include "app/StartFolder.h"

#include <QDir>
#include <system_error>

#include "app/Resources.h"
#include "history/WorkingFolder.h"

namespace kitebar::app {
namespace {

QString PathText(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(QString::fromStdU16String(path.u16string()));
}

}  // namespace

StartFolder EnterStartFolder(const Result<std::filesystem::path>& folder,
                             const std::filesystem::path& sample) {
  StartFolder start;
  start.sample = PathText(sample);
  if (!folder.ok()) {
    start.problem = folder.status();
    start.folderMissing = true;
    return start;
  }
  start.folder = PathText(*folder);
  const Result<FolderPreparation> prepared = PrepareWorkingFolder(*folder, sample);
  std::error_code error;
  std::filesystem::current_path(*folder, error);
  if (error) {
    start.problem = prepared.ok() ? Status::Failure("作業フォルダー「" + folder->string() +
                                                    "」に移れません（" + error.message() + "）。")
                                  : prepared.status();
    start.folderMissing = true;
    return start;
  }
  if (!prepared.ok()) {
    start.problem = prepared.status();
    return start;
  }
  start.firstStart = *prepared == FolderPreparation::kFilled;
  return start;
}

QString StartFolderProblemText(const StartFolder& start) {
  const QString cause = QString::fromStdString(start.problem.message());
  if (start.folderMissing) {
    return HistoryLoadFailedText() +
           QStringLiteral(
               "\n\nKitebar のデータのフォルダーを用意できませんでした。\n%1\n\n"
               "Kitebar は当選番号と設定を %2 に置きます。その場所に書き込めること"
               "（ディスクの空きと、フォルダーの権限）を確かめてから、もう一度起動してください。")
               .arg(cause, start.folder.isEmpty() ? QStringLiteral("%LOCALAPPDATA%\\Kitebar")
                                                  : start.folder);
  }
  return QStringLiteral(
             "データのフォルダー（%1）に当選番号ファイル kitebarnum.dat を作れませんでした。\n"
             "%2\n\n"
             "初めての起動では、プログラムと同じフォルダーの numbers3.csv（%3）から"
             "当選番号ファイルを作ります。次の画面で当選番号の CSV ファイルを取り込むか、"
             "Kitebar をインストールし直して（zip なら展開し直して）numbers3.csv を元に戻し、"
             "もう一度起動してください。")
      .arg(start.folder, cause, start.sample);
}

QString FirstStartText(const StartFolder& start) {
  return QStringLiteral(
             "Kitebar のデータ（当選番号、設定、予想のページ）は次のフォルダーにあります。\n"
             "%1\n\n"
             "当選番号ファイルは、付属の numbers3.csv（第 1 回から）で作りました。"
             "このフォルダーは「基本設定」の「データのフォルダーを開く」でいつでも開けます。"
             "Kitebar をアンインストールしても、このフォルダーは消えません。")
      .arg(start.folder);
}

}  // namespace kitebar::app
