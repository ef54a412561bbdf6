#pragma once

#include <QSize>

class QWidget;

namespace kitebar::app {

// Places a dialog, before it is shown, with its centre on the centre of the
// window that owns it (the screen's centre without an owner), then moves it
// as little as needed to keep its whole frame, title bar included, on the
// owner's screen.
void PlaceOverOwner(QWidget& dialog);

// The room for a dialog's inside on its owner's screen (the primary screen
// without an owner): the screen's available area less a frame like the
// owner's. A dialog larger than that would hide its buttons past the edge.
QSize RoomOnScreen(const QWidget& dialog);

}  // namespace kitebar::app
