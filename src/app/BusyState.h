#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace kitebar::app {

// While a long command runs on the user-interface thread: the wait cursor, and
// the windows that were open when it began take no input (clicks, keys, the
// close box). Windows opened meanwhile, such as a message box of the command,
// work as usual. Input that arrived during the command is dropped when it
// ends rather than acted on afterwards.
class BusyState final : public QObject {
 public:
  BusyState();
  BusyState(const BusyState&) = delete;
  BusyState& operator=(const BusyState&) = delete;
  ~BusyState() override;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  bool IsBlockedWindow(const QWidget* window) const;

  std::vector<QPointer<QWidget>> blockedWindows_;
};

// The normal arrow cursor while it lives, also inside a BusyState: for a
// message box shown in the middle of a long command.
class NormalCursor {
 public:
  NormalCursor();
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;
  ~NormalCursor();
};

// Waits until the whole-second clock has passed the current second plus one
// (between one and two seconds) while the windows keep painting and timers
// keep running; used inside a BusyState, so that the wait looks busy but
// never frozen.
void PauseWhilePainting();

}  // namespace kitebar::app
