// Pictures of the main window.
#include "shots.h"

namespace tessaflex::shots {

void main_window(const QString&, const QString&) {}

}  // namespace tessaflex::shots
