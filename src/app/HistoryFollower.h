#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

class QWidget;

namespace kitebar {
class DrawHistory;
}

namespace kitebar::app {

// Keeps what a dialog shows the history as its file is now, when another
// Kitebar (the command line, a second window) changes it while the dialog is
// open: each change of the file reloads the history and, when it then holds
// something else than the dialog shows, calls `changed`, which shows it again.
//
// A reload waits while the dialog is not the window on top (a message box of
// its own is open) or a command of it is running (the wait cursor is up), so
// that no command finds its history replaced halfway.
class HistoryFollower final : public QObject {
 public:
  HistoryFollower(DrawHistory& history, QWidget& dialog, std::function<void()> changed);

  // The dialog now shows the history as it is in memory.
  void Shown();
  // Reloads now, or as soon as the dialog is idle.
  void Follow();

 private:
  bool DialogIsIdle() const;
  void WatchFile();

  DrawHistory& history_;
  QWidget& dialog_;
  std::function<void()> changed_;
  QFileSystemWatcher watcher_;
  QTimer retry_;
  std::string shown_;
};

}  // namespace kitebar::app
