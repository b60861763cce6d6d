// Asking an X11 window to close, as a window manager does. Kept apart: Xlib's macros
// (Bool, Status, None) clash with Qt's and GoogleTest's names.
#include "e2e/close_request.h"

#include <X11/Xlib.h>

namespace tessaflex::testing {

bool request_close(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return true;
}

}  // namespace tessaflex::testing
