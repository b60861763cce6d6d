// Where a window first appears: centred on its screen.
#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace tessaflex::ui {

// Moves window so that it stands in the middle of screen's available area (the area
// panels and docks leave); nothing when there is no screen.
inline void centre_on_screen(QWidget& window, const QScreen* screen) {
  if (screen == nullptr) return;
  QRect place(QPoint(), window.size());
  place.moveCenter(screen->availableGeometry().center());
  window.move(place.topLeft());
}

}  // namespace tessaflex::ui
