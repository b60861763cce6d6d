// Window geometry in twips, the unit the designs are drawn in, and its logical pixels.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace tessaflex::ui {

// 15 twips make one logical pixel; Qt scales logical pixels to the screen.
inline constexpr int kTwipsPerLogicalPixel = 15;

// A place and size in twips within a window's client area.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TwipsRect&) const = default;
};

// Twips as the nearest logical pixel (every design length is a whole number of pixels).
inline int twips_to_pixels(int twips) {
  return (twips + (twips >= 0 ? 1 : -1) * kTwipsPerLogicalPixel / 2) / kTwipsPerLogicalPixel;
}

inline QRect to_pixels(const TwipsRect& r) {
  return QRect(twips_to_pixels(r.left), twips_to_pixels(r.top), twips_to_pixels(r.width),
               twips_to_pixels(r.height));
}

// Names widget and puts it at its design place; returns widget.
template <typename Widget>
Widget* place(Widget* widget, const QString& name, const TwipsRect& at) {
  widget->setObjectName(name);
  widget->setGeometry(to_pixels(at));
  return widget;
}

inline QSize to_pixels(int width_twips, int height_twips) {
  return QSize(twips_to_pixels(width_twips), twips_to_pixels(height_twips));
}

}  // namespace tessaflex::ui
