#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace kitebar::app {
namespace {

int KeepWithin(int start, int length, int areaStart, int areaLength) {
  return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

QMargins FrameMarginsOf(const QWidget* window) {
  return window != nullptr && window->windowHandle() != nullptr
             ? window->windowHandle()->frameMargins()
             : QMargins();
}

// A dialog about to be shown has no frame yet; the owner's frame comes from
// the same window manager.
QMargins FrameMargins(const QWidget& dialog, const QWidget* owner) {
  const QMargins own = FrameMarginsOf(&dialog);
  return own.isNull() ? FrameMarginsOf(owner) : own;
}

const QWidget* OwnerOf(const QWidget& dialog) {
  return dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
}

}  // namespace

QSize RoomOnScreen(const QWidget& dialog) {
  const QWidget* owner = OwnerOf(dialog);
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  return screen->availableSize().shrunkBy(FrameMargins(dialog, owner));
}

void PlaceOverOwner(QWidget& dialog) {
  const QWidget* owner = OwnerOf(dialog);
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return;
  const QRect area = screen->availableGeometry();
  const QMargins frame = FrameMargins(dialog, owner);
  QRect outer(QPoint(), dialog.size().grownBy(frame));
  outer.moveCenter(owner != nullptr ? owner->frameGeometry().center() : area.center());
  outer.moveTo(KeepWithin(outer.left(), outer.width(), area.left(), area.width()),
               KeepWithin(outer.top(), outer.height(), area.top(), area.height()));
  // Placed by its inside: a window manager may take the position of a window
  // not yet framed as that of its inside rather than of its frame.
  dialog.setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), dialog.size()));
}

}  // namespace kitebar::app
