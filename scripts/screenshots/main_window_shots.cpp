// Pictures of the main window.
#include <QPixmap>

#include "shots.h"
#include "support/window_world.h"

namespace tessaflex::shots {

void main_window(const QString& out_dir, const QString&) {
  testing::WindowWorld world("18F452", "PIC18F452");
  world.start();
  world.window.grab().save(out_dir + QStringLiteral("/main_window.png"));
}

}  // namespace tessaflex::shots
