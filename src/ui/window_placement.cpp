// Where a window first appears: centred on its screen, its title bar always on it.
#include "ui/window_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tessaflex::ui {
namespace {

int placed_start(int length, int area_start, int area_length) {
  return area_start + std::max(0, (area_length - length) / 2);
}

}  // namespace

QPoint placed_top_left(QSize frame, const QRect& available) {
  return {placed_start(frame.width(), available.left(), available.width()),
          placed_start(frame.height(), available.top(), available.height())};
}

void centre_on_screen(QWidget& window, const QScreen* screen) {
  if (screen == nullptr) return;
  // move() places the frame's corner; before the window is first shown the frame is not known
  // yet and frameGeometry() is the window's own size.
  window.move(placed_top_left(window.frameGeometry().size(), screen->availableGeometry()));
}

}  // namespace tessaflex::ui
