// The real main window over the shipped device list and a virtual programmer, for GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <string>
#include <string_view>

#include "devices/device_list.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_file_commands.h"
#include "link/programmer_connection.h"
#include "link/report_layer.h"
#include "support/qt_environment.h"
#include "support/real_time_programmer.h"
#include "support/scripted_runner.h"
#include "support/temp_settings.h"
#include "ui/dialogs/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/theme/theme_colours.h"

namespace tessaflex::testing {

// The entry point's parts with dialogs scripted, settings temporary and the model stored as a last choice.
class WindowWorld {
 public:
  // chip: a part the virtual programmer knows; model: its device-list name; other_terminal replaces it.
  explicit WindowWorld(std::string_view chip = "18F1220", std::string_view model = "PIC18F1220",
                       link::HidTerminal* other_terminal = nullptr)
      : programmer(chip),
        hid(other_terminal != nullptr ? *other_terminal : programmer),
        reports(hid),
        dialogs(runner, paths, colours),
        window({paths, settings.store(), list, workspace, reports, runner, dialogs, colours}),
        engine(workspace, reports, hid, window, paths.program_title),
        connection(settings.store(), hid, window),
        hex_files(workspace, settings.store(), window, files,
                  [this](std::string_view path) { window.set_label_hex(path); }) {
    paths.app_path = "/opt/tessaflex/";
    for (std::int32_t i = 1; i <= list.model_count; ++i)
      if (list.device_list[static_cast<std::size_t>(i)].model == model)
        settings.store().save_setting("Microcontroller Model", std::to_string(i));
    window.attach({engine, connection, hex_files});
  }

  // Starts the window and makes it the active one, as a user's first click would.
  void start() {
    window.start();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  template <typename T = QWidget>
  T* find(const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QString text(const char* label) { return find<QLabel>(label)->text(); }
  std::string status() { return text("label_status").toStdString(); }
  void click(const char* button) { QTest::mouseClick(find<QWidget>(button), Qt::LeftButton); }
  void choose(const char* item) { find<QAction>(item)->trigger(); }
  // The ten command controls, in the order disable switches them.
  std::vector<bool> commands_enabled() {
    std::vector<bool> on;
    for (const char* menu : {"menu1", "menu3", "menu4", "menu5"})
      on.push_back(find<QMenu>(menu)->menuAction()->isEnabled());
    for (const char* button : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"})
      on.push_back(find<QPushButton>(button)->isEnabled());
    return on;
  }

  TempSettings settings;
  core::ProgramPaths paths;
  devices::DeviceList list = devices::load_device_list(TESSAFLEX_DEVICE_LIST).list;
  devices::Workspace workspace;
  RealTimeProgrammer programmer;
  link::HidTerminal& hid;  // the terminal the window uses
  link::ReportLayer reports;
  ScriptedRunner runner;
  ui::theme::ThemeColours colours;
  ui::Dialogs dialogs;
  hexfile::LocalFileAccess files;
  ui::MainWindow window;
  engine::Engine engine;
  link::ProgrammerConnection connection;
  hexfile::HexFileCommands hex_files;
};

}  // namespace tessaflex::testing
