// The program's main window.
#include "ui/main/main_window.h"

namespace tessaflex::ui {

MainWindow::MainWindow(const core::ProgramPaths& paths, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromStdString(paths.program_title));
  resize(800, 600);
}

}  // namespace tessaflex::ui
