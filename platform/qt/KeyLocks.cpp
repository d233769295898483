#include "KeyLocks.h"

#include <QGuiApplication>

#if __has_include(<X11/XKBlib.h>) && QT_CONFIG(xcb)
#define DRELIN_HAVE_XKB 1
#include <X11/XKBlib.h>
#endif

namespace drelin {

#ifdef DRELIN_HAVE_XKB
namespace {

// The indicator named `name` (the names xkeyboard-config gives the lock
// LEDs); where the keymap does not name it, its usual bit `fallbackBit`.
bool IndicatorOn(Display* display, const char* name, unsigned int allStates, int fallbackBit) {
  const Atom atom = XInternAtom(display, name, True);
  Bool on = False;
  if (atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return on;
  return (allStates & (1u << fallbackBit)) != 0;
}

}  // namespace

KeyLocks ReadKeyLocks() {
  // Only where the windows are on the X server (the offscreen platform may
  // hold an X connection of its own, for a keyboard nobody uses here).
  if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return {};
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 != nullptr ? x11->display() : nullptr;
  if (display == nullptr) return {};
  unsigned int states = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &states) != Success) return {};
  return {IndicatorOn(display, "Caps Lock", states, 0), IndicatorOn(display, "Num Lock", states, 1),
          IndicatorOn(display, "Scroll Lock", states, 2)};
}

#else

KeyLocks ReadKeyLocks() { return {}; }

#endif

}  // namespace drelin
