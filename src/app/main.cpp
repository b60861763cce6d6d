// Entry point: the one place where the program's parts are built and joined.
#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "core/startup.h"
#include "devices/device_list.h"
#include "ui/main/main_window.h"

int main(int argc, char* argv[]) {
  using namespace tessaflex;
  QApplication application(argc, argv);

  // A second instance ends before it reads or writes anything.
  core::InstanceLock lock(core::InstanceLock::default_path());
  if (!lock.acquire()) return 0;

  core::ProgramPaths paths;
  paths.app_path = core::folder_with_separator(QCoreApplication::applicationDirPath().toStdString());

  const devices::DeviceListLoad load = devices::load_device_list(paths.app_path + core::kDeviceListName);
  if (!load.error.empty()) {
    std::cerr << paths.program_title << ": " << load.error << '\n';
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(paths.program_title),
                    QString::fromStdString(load.error), QMessageBox::Ok);
    box.exec();
    return 1;
  }
  if (load.list.model_count == 0) return 0;

  ui::MainWindow window(paths);
  window.show();
  return QApplication::exec();
}
