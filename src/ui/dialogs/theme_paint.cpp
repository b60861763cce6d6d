// Painting an entry or text field from the theme's colour slots.
#include "ui/dialogs/theme_paint.h"

#include <QPalette>
#include <QWidget>

#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {

void paint_field(QWidget& widget, theme::Colour back, theme::Colour fore) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Base, theme::qt_colour(back));
  palette.setColor(QPalette::Text, theme::qt_colour(fore));
  widget.setPalette(palette);
}

}  // namespace tessaflex::ui
