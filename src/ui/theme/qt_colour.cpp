// The theme's colours on Qt widgets.
#include "ui/theme/qt_colour.h"

#include <QPalette>
#include <QWidget>

namespace tessaflex::ui::theme {

void paint_widget(QWidget& widget, Colour back) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, qt_colour(back));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

void paint_widget(QWidget& widget, Colour back, Colour fore) {
  paint_widget(widget, back);
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, qt_colour(fore));
  widget.setPalette(palette);
}

void paint_field(QWidget& widget, Colour back, Colour fore) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Base, qt_colour(back));
  palette.setColor(QPalette::Text, qt_colour(fore));
  widget.setPalette(palette);
}

}  // namespace tessaflex::ui::theme
