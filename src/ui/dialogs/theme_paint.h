// Painting an entry or text field from the theme's colour slots.
#pragma once

#include "ui/theme/theme_colours.h"

class QWidget;

namespace tessaflex::ui {

// The background behind a field's text (the base role) and the text itself.
void paint_field(QWidget& widget, theme::Colour back, theme::Colour fore);

}  // namespace tessaflex::ui
