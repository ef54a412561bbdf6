#include "app/CKitebarDoc.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "app/BusyState.h"
#include "app/CKitebarApp.h"
#include "app/CKitebarView.h"
#include "app/CMainFrame.h"
#include "app/FileDialogs.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "app/ResultsImport.h"
#include "app/SimulationSettingsDialog.h"
#include "app/WinningNumberDialog.h"
#include "common/AtomicFile.h"
#include "common/ProgramFiles.h"
#include "engine/Evaluation.h"
#include "engine/RecordScore.h"
#include "reports/EvaluationPage.h"

namespace kitebar::app {

CKitebarDoc::CKitebarDoc(CKitebarApp& app) : app_(app) {}

bool CKitebarDoc::OnCmdMsg(int command) {
  switch (command) {
    case command::kSimulationSettings:
      OnSimulationSettings();
      return true;
    case command::kWinningDataManagement:
      OnWinningDataManagement();
      return true;
    case command::kEvaluation:
      OnEvaluation();
      return true;
    case command::kImportCsvFile:
      OnImportCsvFile();
      return true;
    case command::kPasteResults:
      OnPasteResults();
      return true;
    case command::kFileSave:
      OnFileSave();
      return true;
    default:
      return false;
  }
}

// The two settings dialogs are created here, modal over the main window, and
// destroyed when they close. Each opens on the history file as it is now, not
// as last painted.
void CKitebarDoc::OnSimulationSettings() {
  app_.history().Load();
  SimulationSettingsDialog dialog(app_.history(), MainWindow());
  dialog.exec();
}

void CKitebarDoc::OnWinningDataManagement() {
  app_.history().Load();
  WinningNumberDialog dialog(app_.history(), app_.pageOpener(), MainWindow());
  dialog.exec();
}

void CKitebarDoc::OnImportCsvFile() {
  ResultsImport(app_.history(), MainWindow()).FromFile();
  app_.mainFrame()->view()->update();
}

void CKitebarDoc::OnPasteResults() {
  ResultsImport(app_.history(), MainWindow()).FromPastedText();
  app_.mainFrame()->view()->update();
}

void CKitebarDoc::OnEvaluation() {
  const Status done = [this] {
    const BusyState busy;
    // The history as its file holds it now.
    if (Status loaded = app_.history().Load(); !loaded.ok())
      return loaded;
    const Result<Evaluation> evaluation = EvaluateHistory(app_.history(), EvaluationRequest{});
    if (!evaluation.ok())
      return evaluation.status();
    const LiveScore live = ScoreLiveRecord(app_.history(), LiveCourses::kWith);
    if (Status written = WriteEvaluationPage(kEvaluationPage, *evaluation, &live); !written.ok())
      return written;
    // Whether a browser took the page is not examined, as for the other pages.
    app_.pageOpener().Open(kEvaluationPage);
    return Status::Ok();
  }();
  if (!done.ok())
    MessageBoxes::ShowStop(MainWindow(), QString::fromStdString(done.message()));
}

// Always asks for the name, even when the document came from a file: the
// document has no content, so saving over the file it was opened from would
// only empty that file.
void CKitebarDoc::OnFileSave() {
  QFileDialog dialog(MainWindow(), QStringLiteral("名前を付けて保存"));
  dialog.setObjectName(QStringLiteral("saveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  FitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  const QString file = dialog.selectedFiles().constFirst();
  const std::filesystem::path target = QFile::encodeName(file).toStdString();
  // The empty document written over a file of the program would erase the
  // history, the settings or a page, however the path to it was spelt.
  if (const std::optional<std::string> own = ProgramFileOfAnyFolder(target, ".")) {
    MessageBoxes::ShowStop(
        MainWindow(),
        QStringLiteral("%1 は Kitebar が使うファイル「%2」です。\n空の文書で上書きすると"
                       "中身が失われるため、保存しませんでした。別の名前を指定してください。")
            .arg(file, QString::fromStdString(*own)));
    return;
  }
  if (const Status saved = WriteUserChosenFile(target, {}, "."); !saved.ok()) {
    MessageBoxes::ShowStop(MainWindow(), QStringLiteral("ファイル %1 に保存できませんでした。\n%2")
                                             .arg(file, QString::fromStdString(saved.message())));
    return;
  }
  pathName_ = file;
}

void CKitebarDoc::OnNewDocument() {
  pathName_.clear();
}

namespace {

// Why `file` could not be opened, as far as the file system tells.
QString OpenFailureReason(const QString& file) {
  const QFileInfo info(file);
  if (!info.exists())
    return QStringLiteral("そのファイルはありません。ファイル名と場所を確かめてください。");
  if (info.isDir())
    return QStringLiteral("フォルダーです。開くファイルを指定してください。");
  if (!info.isReadable())
    return QStringLiteral("読み取りの権限がありません。");
  return QStringLiteral("ほかのプログラムが使っていないか確かめてください。");
}

}  // namespace

bool CKitebarDoc::OnOpenDocument(const QString& file) {
  QFile document(file);
  if (!document.open(QIODevice::ReadOnly)) {
    MessageBoxes::ShowStop(
        MainWindow(),
        QStringLiteral("ファイル %1 を開けませんでした。").arg(file) + OpenFailureReason(file));
    return false;
  }
  pathName_ = file;
  return true;
}

QWidget* CKitebarDoc::MainWindow() const {
  return app_.mainFrame();
}

}  // namespace kitebar::app
