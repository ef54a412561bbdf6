#pragma once

#include <QMainWindow>
#include <QMargins>

#include "app/CommandTarget.h"

class QMenu;

namespace kitebar::app {

class CKitebarApp;
class CKitebarDoc;
class CKitebarView;
class StatusMessagePane;

// The one main window: fixed outer size, placed at a quarter of the screen,
// with the fixed title, the menu, the accelerators and the status bar. Every
// menu and accelerator command is routed to the view, the document, the frame
// and the application, in that order.
class CMainFrame final : public QMainWindow, public CommandTarget {
  Q_OBJECT

 public:
  static constexpr QSize kOuterSize{308, 146};

  CMainFrame(CKitebarApp& app, CKitebarDoc& document);

  CKitebarView* view() const { return view_; }

  // Offers `command` to each receiver in turn; returns the one that handled
  // it, or nullptr when none has a handler.
  CommandTarget* RouteCommand(int command);
  // Handles "終了": closes the main window, which ends the program.
  bool OnCmdMsg(int command) override;

 protected:
  // Menu prompts go to the message pane rather than over the whole status bar.
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenu();
  void BuildAccelerators();
  void EnterMenuBar();
  void BuildStatusBar();
  void AddCommand(QWidget& owner, const QString& text, int command, const QString& prompt,
                  const QString& objectName);
  void PlaceAtQuarterOfScreen();
  void KeepOuterSize();

  CKitebarApp& app_;
  CKitebarDoc& document_;
  CKitebarView* view_ = nullptr;
  StatusMessagePane* messagePane_ = nullptr;
  QMargins appliedFrameMargins_;
};

}  // namespace kitebar::app
