// The program's main window.
#pragma once

#include <QMainWindow>

#include "core/startup.h"

namespace tessaflex::ui {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(const core::ProgramPaths& paths, QWidget* parent = nullptr);
};

}  // namespace tessaflex::ui
