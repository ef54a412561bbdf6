#pragma once

class QWidget;

namespace kitebar::app {

// Places a dialog, before it is shown, with its centre on the centre of the
// window that owns it (the screen's centre without an owner), then moves it
// as little as needed to keep its whole frame, title bar included, on the
// owner's screen.
void PlaceOverOwner(QWidget& dialog);

}  // namespace kitebar::app
