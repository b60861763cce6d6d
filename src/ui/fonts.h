// The program's two typefaces, with free stand-ins where the designed ones are not installed.
#pragma once

#include <QFont>

namespace tessaflex::ui {

// The face of windows, labels and buttons: "Microsoft Sans Serif" where installed, else
// "Liberation Sans" (Debian fonts-liberation2, drawn to Arial's metrics, the closest
// free match), else the platform's sans serif.
QFont window_font(double points);

// The fixed-pitch face of the memory tables, the byte editor and the configuration
// values: "Lucida Console" where installed, else "Liberation Mono", else "DejaVu Sans
// Mono". The tables place every character on their own grid, so only the look of the
// glyphs depends on this choice, never their positions.
QFont fixed_font(double points);

}  // namespace tessaflex::ui
