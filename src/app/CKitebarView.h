#pragma once

#include <QWidget>

#include "app/CommandTarget.h"

class QPainter;
class QPrinter;

namespace kitebar::app {

class CKitebarApp;

// The main window's client area: the title picture, the command "予想開始",
// and printing. Every paint reloads the draw history from its file, and the
// main window repaints whenever it becomes active again, so that what the
// dialogs and the browser round trip wrote is in effect for the next command.
class CKitebarView final : public QWidget, public CommandTarget {
  Q_OBJECT

 public:
  CKitebarView(CKitebarApp& app, QWidget* parent);

  bool OnCmdMsg(int command) override;

  // Command 32771: predicts the draw after the last complete one, writes the
  // prediction page and opens it in the browser. A failed run is reported in
  // a stop message instead.
  void OnPredictionStart();
  // Ctrl+P: the print dialog, then the picture at the page's top-left corner.
  // Without a printer the user is told so first.
  void OnFilePrint();
  // The main window became active: repaint, and with it reload the history.
  void OnActivateView();
  // Reloads the history and draws the title picture at (0, 0), on the screen
  // and on the printer alike.
  void OnDraw(QPainter& painter);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Whether printing can go on: a printer is installed, or the user takes the
  // PDF file that the print dialog offers instead. Windows' print dialog
  // shows nothing at all without a printer: the user is told why.
  bool PrinterInstalledOrFileChosen();
  void PrintToChosenFile(QPrinter& printer);

  CKitebarApp& app_;
};

}  // namespace kitebar::app
