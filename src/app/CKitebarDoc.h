#pragma once

#include <QString>

#include "app/CommandTarget.h"

class QWidget;

namespace kitebar::app {

class CKitebarApp;

// The document of the single-document window. It has no content: it receives
// the commands of the menu "基本設定", and open and save exist only as the
// standard commands (open reads nothing, save writes an empty file).
class CKitebarDoc final : public CommandTarget {
 public:
  explicit CKitebarDoc(CKitebarApp& app);

  bool OnCmdMsg(int command) override;

  // Command 32772, "シミュレート基本設定".
  void OnSimulationSettings();
  // Command 32775, "当選データ管理".
  void OnWinningDataManagement();
  // Commands 32777 "CSV ファイルから取り込み..." and 32778 "貼り付けて取り込み...":
  // results that the user keeps, stored after a confirmation of what they
  // hold; the main view then works on the new history.
  void OnImportCsvFile();
  void OnPasteResults();
  // Command 32776, "成績の検証": the evaluation of the whole history with the
  // prediction's set, written as a page and opened; a stop message when it
  // cannot be made.
  void OnEvaluation();
  // Ctrl+S: asks for a file name and writes an empty file there; refused, with
  // a stop message, for a file of the program in the working folder.
  void OnFileSave();

  // An empty document with no file.
  void OnNewDocument();
  // Takes `file` as the document's file; its contents are not read. Fails with
  // a stop message when the file cannot be opened for reading.
  bool OnOpenDocument(const QString& file);
  const QString& pathName() const { return pathName_; }

 private:
  QWidget* MainWindow() const;

  CKitebarApp& app_;
  QString pathName_;
};

}  // namespace kitebar::app
