#include "app/CKitebarApp.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QTranslator>
#include <filesystem>

#include "app/CAboutDialog.h"
#include "app/CKitebarDoc.h"
#include "app/CMainFrame.h"
#include "app/DesktopPageOpener.h"
#include "app/DesktopStyle.h"
#include "app/FileDialogs.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "history/HistoryChange.h"
#include "settings/SettingsFiles.h"

// The pictures live in a static library, whose resources are registered by
// name; this must happen outside any namespace.
static void RegisterKitebarResources() {
  Q_INIT_RESOURCE(kitebar);
}

namespace kitebar::app {
namespace {

CKitebarApp* runningApp = nullptr;

// The program cannot run without the history: the reason, and how to make a
// missing one.
QString HistoryMissingText(const Status& loaded) {
  const QString reason =
      HistoryLoadFailedText() + QStringLiteral("\n\n") + QString::fromStdString(loaded.message());
  if (QFileInfo::exists(QString::fromLatin1(kHistoryFileName)))
    return reason;
  return reason + QStringLiteral(
                      "\n\n当選番号ファイル kitebarnum.dat を、このフォルダー（%1）で"
                      "「kitebar-cli load-csv 結果のCSVファイル」を実行して作るか、"
                      "「kitebar-cli import」で当選番号のページから取り込んでから、"
                      "もう一度起動してください。")
                      .arg(QDir::toNativeSeparators(QDir::currentPath()));
}

}  // namespace

CKitebarApp::CKitebarApp()
    : pageOpener_(std::make_unique<DesktopPageOpener>()),
      toolkitTranslator_(std::make_unique<ToolkitTranslator>()) {
  RegisterKitebarResources();
  QApplication::setWindowIcon(QIcon(ProgramIconPath()));
  UseDesktopStyle();
  // The toolkit's own dialogs (file, print) and standard buttons speak the
  // program's language.
  if (LoadToolkitTranslation(*toolkitTranslator_))
    QCoreApplication::installTranslator(toolkitTranslator_.get());
  runningApp = this;
}

CKitebarApp::~CKitebarApp() {
  QCoreApplication::removeTranslator(toolkitTranslator_.get());
  if (runningApp == this)
    runningApp = nullptr;
}

CKitebarApp* CKitebarApp::running() {
  return runningApp;
}

bool CKitebarApp::InitInstance(const QStringList& arguments) {
  document_ = std::make_unique<CKitebarDoc>(*this);
  mainFrame_ = std::make_unique<CMainFrame>(*this, *document_);
  if (!arguments.isEmpty() && !document_->OnOpenDocument(arguments.constFirst()))
    return false;
  mainFrame_->show();
  mainFrame_->repaint();
  if (startFolder_ && !startFolder_->problem.ok()) {
    MessageBoxes::ShowStop(mainFrame_.get(), StartFolderProblemText(*startFolder_));
    RequestClose();
    return true;
  }
  if (const Status loaded = history_.Load(); !loaded.ok()) {
    MessageBoxes::ShowStop(mainFrame_.get(), HistoryMissingText(loaded));
    RequestClose();
    return true;
  }
  if (startFolder_ && startFolder_->firstStart)
    MessageBoxes::ShowInformation(mainFrame_.get(), FirstStartText(*startFolder_));
  WarnOfUnusableFiles();
  return true;
}

void CKitebarApp::SetStartFolder(StartFolder start) {
  startFolder_ = std::move(start);
}

void CKitebarApp::RequestClose() {
  QMetaObject::invokeMethod(mainFrame_.get(), &QWidget::close, Qt::QueuedConnection);
}

// The program runs on with what it can read; every write that the trouble
// concerns will refuse with the same explanation.
void CKitebarApp::WarnOfUnusableFiles() {
  Status files = CheckSettingsFiles(".");
  if (files.ok())
    files = CheckSettingsEncodings(".");
  if (!files.ok()) {
    MessageBoxes::Show(mainFrame_.get(),
                       QString::fromStdString(
                           files.message() +
                           "（このままでは、そのファイルの設定がすべて既定値として扱われます。）"),
                       QMessageBox::Warning);
  } else if (history_.damage()) {
    MessageBoxes::Show(mainFrame_.get(), QString::fromStdString(history_.DamageWarning()),
                       QMessageBox::Warning);
  }
}

void CKitebarApp::SetPageOpener(std::unique_ptr<PageOpener> opener) {
  pageOpener_ = std::move(opener);
}

bool CKitebarApp::OnCmdMsg(int command) {
  switch (command) {
    case command::kAppAbout:
      OnAppAbout();
      return true;
    case command::kFileNew:
      OnFileNew();
      return true;
    case command::kFileOpen:
      OnFileOpen();
      return true;
    case command::kOpenDataFolder:
      OnOpenDataFolder();
      return true;
    default:
      return false;
  }
}

void CKitebarApp::OnAppAbout() {
  CAboutDialog about(mainFrame_.get());
  about.exec();
}

void CKitebarApp::OnFileNew() {
  document_->OnNewDocument();
}

void CKitebarApp::OnFileOpen() {
  QFileDialog dialog(mainFrame_.get(), QStringLiteral("開く"));
  dialog.setObjectName(QStringLiteral("openDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  FitFileDialog(dialog);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    document_->OnOpenDocument(dialog.selectedFiles().constFirst());
}

// The folder opens the way pages do: the desktop's handler for a folder is
// its file manager (Explorer on Windows).
void CKitebarApp::OnOpenDataFolder() {
  const std::filesystem::path folder = std::filesystem::current_path();
  if (!pageOpener_->Open(folder).ok()) {
    MessageBoxes::ShowStop(
        mainFrame_.get(),
        QStringLiteral("データのフォルダー %1 を開けませんでした。エクスプローラー"
                       "（ファイル マネージャー）で、このフォルダーを開いてください。")
            .arg(QDir::toNativeSeparators(QDir::currentPath())));
  }
}

}  // namespace kitebar::app
