// The message box's four icons, drawn by the program itself.
#pragma once

#include <QIcon>

namespace tessaflex::ui {

enum class BoxIcon { ok, ask, err, info };

// The icon in the sizes 16, 24, 32, 48 and 256 pixels: a green check mark (ok), a white
// question mark on a blue disc (ask), a white cross on a red disc (err), a white letter
// i on a blue disc (info).
QIcon box_icon(BoxIcon which);

}  // namespace tessaflex::ui
