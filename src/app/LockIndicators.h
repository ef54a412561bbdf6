#pragma once

#include <QObject>
#include <array>

#include "app/LockKeyState.h"

class QLabel;
class QStatusBar;

namespace kitebar::app {

// The four lock-key panes at the right of the status bar ("ｶﾅ", "CAP", "NUM",
// "SCRL"). A pane shows its text while its key is on, is blank while it is
// off, and shows its text dimmed when the platform does not tell the state.
// The panes follow the keys after every key release and window activation.
class LockIndicators final : public QObject {
  Q_OBJECT

 public:
  explicit LockIndicators(QStatusBar& statusBar);

  void Refresh();

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
};

}  // namespace kitebar::app
