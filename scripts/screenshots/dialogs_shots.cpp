// Pictures of the dialogs.
#include "shots.h"

namespace tessaflex::shots {

void dialogs(const QString&, const QString&) {}

}  // namespace tessaflex::shots
