#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "app/CommandTarget.h"
#include "app/StartFolder.h"
#include "history/DrawHistory.h"
#include "reports/PageOpener.h"

class QTranslator;

namespace kitebar::app {

class CKitebarDoc;
class CMainFrame;

// The running program: it owns the one draw history of the whole run, the
// document and the main window, and the way pages reach the browser. Every
// window finds the history through the running application.
class CKitebarApp final : public CommandTarget {
 public:
  CKitebarApp();
  CKitebarApp(const CKitebarApp&) = delete;
  CKitebarApp& operator=(const CKitebarApp&) = delete;
  ~CKitebarApp() override;

  // The application of this run; nullptr before one exists.
  static CKitebarApp* running();

  // Start-up: creates the document and the main window, shows it and loads the
  // history. `arguments` are the command line without the program name; a
  // file name opens it as the (empty) document. A missing history may be
  // made at once (MakeFirstHistory). Returns false when the program is to
  // end at once, which it then does with status 1: an unknown option or a
  // file that cannot be opened, a working folder that could not be prepared
  // (SetLaunchProblem, SetStartFolder) and a history that cannot be had are each told in a
  // message first, and the main window is closed.
  bool InitInstance(const QStringList& arguments);
  // The data folder that the program prepared before start-up: a folder
  // that is not ready is explained instead of the missing history, and a
  // first start tells where the data lives.
  void SetStartFolder(StartFolder start);

  // Why kitebar-launch could not prepare the working folder before the
  // start: start-up then says so, in place of reading a history that is not
  // there.
  void SetLaunchProblem(const QString& problem) { launchProblem_ = problem; }

  DrawHistory& history() { return history_; }
  PageOpener& pageOpener() { return *pageOpener_; }
  // Tests replace the browser with a recorder.
  void SetPageOpener(std::unique_ptr<PageOpener> opener);

  CMainFrame* mainFrame() const { return mainFrame_.get(); }
  CKitebarDoc* document() const { return document_.get(); }

  bool OnCmdMsg(int command) override;
  void OnAppAbout();
  // Ctrl+N: a new empty document; nothing visible changes.
  void OnFileNew();
  // Ctrl+O: the file dialog; the chosen file becomes the document unread.
  void OnFileOpen();
  // "データのフォルダーを開く": the working folder, where every file of the
  // program lives, in the desktop's file manager.
  void OnOpenDataFolder();

 private:
  // The history file cannot be read at start-up: a missing one may be made
  // from results that the user keeps. Returns whether there is a history now.
  bool MakeFirstHistory(const Status& loaded);
  // A damaged history or a file that cannot be read is pointed out at start-up.
  void WarnOfUnusableFiles();
  // Shows why the program cannot run and closes the main window; false.
  bool EndStartUp(const QString& reason);
  // Tells why the start folder is not ready; returns whether the program can
  // go on there.
  bool ExplainStartFolder();

  DrawHistory history_;
  QString launchProblem_;
  std::unique_ptr<PageOpener> pageOpener_;
  std::unique_ptr<QTranslator> toolkitTranslator_;
  std::unique_ptr<CKitebarDoc> document_;
  std::unique_ptr<CMainFrame> mainFrame_;
  std::optional<StartFolder> startFolder_;
};

}  // namespace kitebar::app
