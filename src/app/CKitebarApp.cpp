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
#include "app/ResultsImport.h"
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

// The program cannot run without the history: the reason, and, for a
// missing one, how to make it.
QString HistoryMissingText(const Status& loaded, bool missing) {
  const QString reason =
      HistoryLoadFailedText() + QStringLiteral("\n\n") + QString::fromStdString(loaded.message());
  if (!missing)
    return reason;
  return reason +
         QStringLiteral(
             "\n\n当選番号ファイル kitebarnum.dat がこのフォルダー（%1）にまだありません。"
             "持っている当選番号の CSV ファイルか、結果のページからコピーした表から、ここで"
             "作れます（コマンドラインでは「kitebar-cli load-csv 結果のCSVファイル」か、"
             "当選番号のページから取り込む「kitebar-cli import」でも作れます）。")
             .arg(QDir::toNativeSeparators(QDir::currentPath()));
}

// "-" alone and names without a leading "-" are files; Qt has already taken
// its own options off the command line.
bool IsOption(const QString& argument) {
  return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

QString UnknownOptionText(const QString& option) {
  return QStringLiteral(
             "「%1」というオプションはありません。kitebar に指定できるのは、開く文書のファイル名"
             "と --help、--version です（使い方は kitebar --help で表示されます）。")
      .arg(option);
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
  if (!arguments.isEmpty()) {
    const QString& first = arguments.constFirst();
    if (IsOption(first))
      return EndStartUp(UnknownOptionText(first));
    if (!document_->OnOpenDocument(first))
      return false;
  }
  // Without its working folder the program has no history of its own to
  // show; whatever the current folder holds is not it.
  if (!launchProblem_.isEmpty())
    return EndStartUp(HistoryLoadFailedText() + QStringLiteral("\n\n") + launchProblem_);
  mainFrame_->show();
  mainFrame_->repaint();
  if (startFolder_ && !startFolder_->problem.ok() && !ExplainStartFolder()) {
    mainFrame_->close();
    return false;
  }
  if (const Status loaded = history_.Load(); !loaded.ok() && !MakeFirstHistory(loaded)) {
    mainFrame_->close();
    return false;
  }
  if (startFolder_ && startFolder_->firstStart)
    MessageBoxes::ShowInformation(mainFrame_.get(), FirstStartText(*startFolder_));
  WarnOfUnusableFiles();
  return true;
}

bool CKitebarApp::EndStartUp(const QString& reason) {
  MessageBoxes::ShowStop(mainFrame_.get(), reason);
  mainFrame_->close();
  return false;
}

void CKitebarApp::SetStartFolder(StartFolder start) {
  startFolder_ = std::move(start);
}

// A folder that cannot be made ends the program; a numbers3.csv that cannot
// fill it leaves the ways to make a first history, which come next.
bool CKitebarApp::ExplainStartFolder() {
  MessageBoxes::Show(mainFrame_.get(), StartFolderProblemText(*startFolder_),
                     startFolder_->folderMissing ? QMessageBox::Critical : QMessageBox::Warning);
  return !startFolder_->folderMissing;
}

// Asked again after a refusal or a cancel, until a history is made or the
// user ends the program.
bool CKitebarApp::MakeFirstHistory(const Status& loaded) {
  if (QFileInfo::exists(QString::fromLatin1(kHistoryFileName))) {
    MessageBoxes::ShowStop(mainFrame_.get(), HistoryMissingText(loaded, false));
    return false;
  }
  const std::vector<MessageBoxes::Choice> choices{
      {QMessageBox::Open, QStringLiteral("CSV ファイルから取り込み...")},
      {QMessageBox::Apply, QStringLiteral("貼り付けて取り込み...")},
      {QMessageBox::Close, QStringLiteral("終了")},
  };
  for (;;) {
    const QMessageBox::StandardButton answer =
        MessageBoxes::ShowChoice(mainFrame_.get(), HistoryMissingText(loaded, true),
                                 QMessageBox::Critical, choices, QMessageBox::Open);
    ResultsImport import(history_, mainFrame_.get());
    if (answer == QMessageBox::Open && import.FromFile())
      return true;
    if (answer == QMessageBox::Apply && import.FromPastedText())
      return true;
    if (answer != QMessageBox::Open && answer != QMessageBox::Apply)
      return false;
  }
}

// The program runs on with what it can read; every write that the trouble
// concerns will refuse with the same explanation.
void CKitebarApp::WarnOfUnusableFiles() {
  if (const Status files = CheckSettingsFiles("."); !files.ok()) {
    MessageBoxes::Show(
        mainFrame_.get(),
        QString::fromStdString(files
                                   .Wrapped("",
                                            "このままでは、そのファイルの設定がすべて既定値として"
                                            "扱われます。")
                                   .message()),
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
