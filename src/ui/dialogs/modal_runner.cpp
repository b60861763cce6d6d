// The one seam through which the program shows any modal dialog, so tests can answer it.
#include "ui/dialogs/modal_runner.h"

#include <QDialog>

namespace tessaflex::ui {

int ExecRunner::run(QDialog& dialog) { return dialog.exec(); }

}  // namespace tessaflex::ui
