// The application object: built on a session that opens, or the program ends saying why.
#pragma once

#include <QApplication>
#include <memory>

namespace tessaflex::app {

// Builds the application on the graphical session that the environment and arguments name.
// When there is none, or Qt cannot open it, standard error says why (core::SessionOpeningGuard)
// and the program ends with exit code 1 (never Qt's abort). Then every
// window gets the program's own icon, the windows are tied to tessaflex.desktop, and a
// SIGTERM (a session that logs out) closes the windows as the user would, so the program
// ends with its usual exit code.
std::unique_ptr<QApplication> open_application(int& argc, char** argv);

}  // namespace tessaflex::app
