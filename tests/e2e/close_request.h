// Asking an X11 window to close, as a window manager does.
#pragma once

namespace tessaflex::testing {

// Sends WM_DELETE_WINDOW to window on the display DISPLAY names. False when the display
// cannot be opened.
bool request_close(unsigned long window);

}  // namespace tessaflex::testing
