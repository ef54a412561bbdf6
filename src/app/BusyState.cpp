#include "app/BusyState.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>

namespace kitebar::app {
namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
      return true;
    default:
      return false;
  }
}

}  // namespace

BusyState::BusyState() {
  for (QWidget* window : QApplication::topLevelWidgets())
    blockedWindows_.emplace_back(window);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  qApp->installEventFilter(this);
}

BusyState::~BusyState() {
  // Input that the platform queued while the command blocked the event loop
  // reaches the filter now and is dropped.
  QCoreApplication::processEvents();
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
}

bool BusyState::IsBlockedWindow(const QWidget* window) const {
  return std::any_of(blockedWindows_.begin(), blockedWindows_.end(),
                     [window](const QPointer<QWidget>& blocked) { return blocked == window; });
}

bool BusyState::eventFilter(QObject* receiver, QEvent* event) {
  const auto* widget = qobject_cast<QWidget*>(receiver);
  if (widget == nullptr || !IsBlockedWindow(widget->window()))
    return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Claimed for the (dropped) key press, so that no shortcut fires.
      event->accept();
      return true;
    case QEvent::Close:
      event->ignore();
      return true;
    default:
      return IsUserInput(event->type());
  }
}

NormalCursor::NormalCursor() {
  QApplication::setOverrideCursor(Qt::ArrowCursor);
}

NormalCursor::~NormalCursor() {
  QApplication::restoreOverrideCursor();
}

void PauseWhilePainting() {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point now = Clock::now();
  const Clock::time_point until =
      std::chrono::floor<std::chrono::seconds>(now) + std::chrono::seconds(2);
  QEventLoop loop;
  QTimer::singleShot(std::chrono::ceil<std::chrono::milliseconds>(until - now), Qt::PreciseTimer,
                     &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace kitebar::app
