#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <optional>

#include "app/LockKeyState.h"

class QLabel;
class QStatusBar;

namespace kitebar::app {

// The four lock-key panes at the right of the status bar ("ｶﾅ", "CAP", "NUM",
// "SCRL"). A pane shows its text while its key is on, and its text dimmed when
// the platform does not tell the state; while its key is off it is blank and
// takes no room, which goes to the message pane. The panes follow the keys
// after every key release and window activation.
class LockIndicators final : public QObject {
  Q_OBJECT

 public:
  // Whether a lock key is on; nothing when the platform does not tell.
  using StateQuery = std::function<std::optional<bool>(LockKey)>;

  explicit LockIndicators(QStatusBar& statusBar);

  void Refresh();
  // Tests stand in for the keyboard.
  void SetStateQuery(StateQuery query);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Pane {
    LockKey key;
    QString text;
    QString objectName;
    QLabel* label = nullptr;
  };
  std::array<Pane, 4> panes_;
  StateQuery query_;
};

}  // namespace kitebar::app
