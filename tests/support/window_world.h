// The real program over the shipped device list and a virtual programmer, for GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <string>
#include <string_view>

#include "app/program.h"
#include "core/setting_names.h"
#include "sim/real_time_programmer.h"
#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "support/temp_settings.h"

namespace tessaflex::test {

// The program with dialogs scripted, settings temporary and the model stored as a last choice.
class WindowWorld {
 public:
  // chip: a part the virtual programmer knows; model: its device-list name; other_terminal replaces it.
  explicit WindowWorld(std::string_view chip = "18F1220", std::string_view model = "PIC18F1220",
                       link::HidTerminal* other_terminal = nullptr)
      : programmer(chip),
        program(test_paths(), settings.store(), devices::load_device_list(TESSAFLEX_DEVICE_LIST).list,
                other_terminal != nullptr ? *other_terminal : programmer, runner) {
    settings.store().save_setting(core::setting::kModel, std::to_string(devices::model_number(list, model)));
  }

  // Starts the window and makes it the active one, as a user's first click would.
  void start() {
    program.start();
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
  sim::RealTimeProgrammer programmer;
  ScriptedRunner runner;
  app::Program program;
  const devices::DeviceList& list = program.device_list();
  devices::Workspace& workspace = program.workspace();
  ui::theme::ThemeColours& colours = program.colours();
  ui::MainWindow& window = program.window();

 private:
  static core::ProgramPaths test_paths() {
    core::ProgramPaths paths;
    paths.app_path = "/opt/tessaflex/";
    return paths;
  }
};

}  // namespace tessaflex::test
