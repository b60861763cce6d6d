// Where a window first appears: centred on its screen, its title bar always on it.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tessaflex::ui {

// The top-left corner for a window whose outer size (frame and title bar included) is
// frame in the area available: centred on each axis where the window fits; where it is
// larger than the area on an axis, at the area's start on that axis, so that the title bar
// and the menu bar stay on the screen and only the far end is cut off.
QPoint placed_top_left(QSize frame, const QRect& available);

// Moves window to placed_top_left on screen's available area (the area panels and docks
// leave); nothing when there is no screen. The frame counts once the window has one.
void centre_on_screen(QWidget& window, const QScreen* screen);

}  // namespace tessaflex::ui
