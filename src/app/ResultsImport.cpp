#include "app/ResultsImport.h"

#include <QDir>
#include <QFileDialog>
#include <filesystem>

#include "app/FileDialogs.h"
#include "app/MessageBoxes.h"
#include "app/PasteResultsDialog.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace kitebar::app {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

QString StoredText(const CsvImportSummary& summary) {
  return QStringLiteral("第 %1 回から第 %2 回までの %3 回分を取り込みました。")
      .arg(summary.firstNew)
      .arg(summary.lastNew)
      .arg(summary.added);
}

}  // namespace

ResultsImport::ResultsImport(DrawHistory& history, QWidget* owner)
    : history_(history), owner_(owner) {}

bool ResultsImport::FromFile() {
  QFileDialog dialog(owner_, QStringLiteral("CSV ファイルから取り込み"));
  dialog.setObjectName(QStringLiteral("csvFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("結果のファイル (*.csv *.txt *.tsv)"),
                         QStringLiteral("すべてのファイル (*)")});
  FitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return false;
  const QString file = dialog.selectedFiles().constFirst();
  const Result<std::string> bytes =
      ReadWholeFile(std::filesystem::path(file.toStdU16String()), kMaxResultsCsvBytes);
  if (!bytes.ok()) {
    MessageBoxes::ShowStop(
        owner_, QStringLiteral("CSV ファイルを読めないため、取り込みませんでした。\n\n") +
                    FromUtf8(bytes.message()));
    return false;
  }
  return Confirm(*bytes, QDir::toNativeSeparators(file));
}

bool ResultsImport::FromPastedText() {
  PasteResultsDialog dialog(owner_);
  bool stored = false;
  dialog.onRead = [this, &stored, &dialog](const QString& text) {
    stored = Confirm(text.toStdString(), QStringLiteral("貼り付けた表"));
    if (stored)
      dialog.accept();
  };
  dialog.exec();
  return stored;
}

bool ResultsImport::Confirm(std::string_view bytes, const QString& source) {
  const Result<CsvImportSummary> preview = PreviewResultsCsv(history_, bytes);
  if (!preview.ok()) {
    MessageBoxes::ShowStop(owner_, QStringLiteral("%1 は取り込めません。\n\n").arg(source) +
                                       FromUtf8(preview.message()));
    return false;
  }
  const QString summary = FromUtf8(DescribeCsvImport(*preview));
  if (preview->added == 0) {
    MessageBoxes::ShowInformation(
        owner_, QStringLiteral("%1 に新しい回はありません。\n\n%2").arg(source, summary));
    return false;
  }
  const QMessageBox::StandardButton answer = MessageBoxes::ShowChoice(
      owner_, QStringLiteral("%1 から次のとおり取り込みます。\n\n%2").arg(source, summary),
      QMessageBox::Question,
      {{QMessageBox::Ok, QStringLiteral("取り込む")},
       {QMessageBox::Cancel, QStringLiteral("キャンセル")}},
      QMessageBox::Ok);
  if (answer != QMessageBox::Ok)
    return false;
  // Stored on the file as it is now: another Kitebar may have added draws
  // since the summary was read, which the store checks again.
  const Result<CsvImportSummary> stored = ImportResultsCsv(history_, bytes);
  if (!stored.ok()) {
    MessageBoxes::ShowStop(owner_, FromUtf8(stored.message()));
    return false;
  }
  if (stored->added == 0)
    return false;
  MessageBoxes::ShowInformation(owner_, StoredText(*stored));
  return true;
}

}  // namespace kitebar::app
