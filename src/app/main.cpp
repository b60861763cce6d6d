// Entry point: the program on the real programmer, in a graphical session, one instance at a time.
#include <QApplication>
#include <iostream>
#include <utility>

#include "app/application_start.h"
#include "app/program.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "devices/device_list.h"
#include "link/hidapi_terminal.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/modal_runner.h"
#include "ui/theme/theme_colours.h"
#include "ui/theme/theme_table.h"

int main(int argc, char* argv[]) {
  using namespace tessaflex;
  const std::unique_ptr<QApplication> application = app::open_application(argc, argv);

  // A second instance ends before it reads or writes anything. A lock that cannot be
  // taken for another reason is no second instance: the program runs and says why.
  core::InstanceLock lock(core::InstanceLock::default_path());
  const core::LockResult locked = lock.acquire();
  if (locked.status == core::LockStatus::another_instance) return 0;
  if (locked.status == core::LockStatus::unavailable)
    std::cerr << core::kProgramTitle << ": " << locked.reason << '\n';

  core::ProgramPaths paths;
  paths.app_path = core::folder_with_separator(QCoreApplication::applicationDirPath().toStdString());

  devices::DeviceListLoad load = devices::load_device_list(paths.app_path + core::kDeviceListName);
  if (!load.error.empty()) {
    // No theme is read before the window exists: the box wears the default theme's colours.
    std::cerr << paths.program_title << ": " << load.error << '\n';
    ui::ExecRunner runner;
    ui::theme::ThemeColours colours;
    colours.values = ui::theme::original_lite().values();
    ui::Dialogs(runner, paths, colours).message_box(nullptr, load.error, core::BoxKind::error, "");
    return 1;
  }
  if (load.list.model_count == 0) return 0;

  link::HidapiTerminal terminal;
  ui::ExecRunner runner;
  app::Program program(paths, core::SettingsStore::per_user(), std::move(load.list), terminal, runner);
  program.start();
  return QApplication::exec();
}
