// The theme's colours on Qt widgets.
#pragma once

#include <QColor>

#include "ui/theme/theme_colours.h"

class QWidget;

namespace tessaflex::ui::theme {

// The slot encoding R + 256 * G + 65536 * B as a QColor.
inline QColor qt_colour(Colour colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Fills widget's background with back (the window role, filled even for a child widget).
void paint_widget(QWidget& widget, Colour back);
// The same, and draws its text (the window-text role, as labels use) in fore.
void paint_widget(QWidget& widget, Colour back, Colour fore);
// An entry or text field: the background behind its text (the base role) and the text.
void paint_field(QWidget& widget, Colour back, Colour fore);

}  // namespace tessaflex::ui::theme
