#include "app/LockKeyState.h"

#include <QGuiApplication>

// Xlib's macros (Status, None, Bool, ...) would clash with the rest of the
// program, so Xlib is included here only, after Qt.
#if defined(KITEBAR_HAVE_XKB) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#define KITEBAR_QUERY_XKB 1
#endif

namespace kitebar::app {

#ifdef KITEBAR_QUERY_XKB
namespace {

const char* IndicatorName(LockKey key) {
  switch (key) {
    case LockKey::kKana:
      return "Kana";
    case LockKey::kCaps:
      return "Caps Lock";
    case LockKey::kNum:
      return "Num Lock";
    case LockKey::kScroll:
      return "Scroll Lock";
  }
  return "";
}

Display* X11Display() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->display() : nullptr;
}

}  // namespace

std::optional<bool> QueryLockKeyState(LockKey key) {
  Display* display = qGuiApp != nullptr ? X11Display() : nullptr;
  if (display == nullptr)
    return std::nullopt;
  // An indicator that the keymap does not name (often "Kana") stays unknown.
  const Atom name = XInternAtom(display, IndicatorName(key), True);
  Bool on = False;
  if (name == None || !XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr))
    return std::nullopt;
  return on != False;
}

#else

std::optional<bool> QueryLockKeyState(LockKey) {
  return std::nullopt;
}

#endif

}  // namespace kitebar::app
