// The one wiring of the program's parts: the program itself, the tests, the benchmarks and
// the screenshot tool all build the program through it, each with a terminal of its own.
#pragma once

#include "core/settings_store.h"
#include "core/startup.h"
#include "devices/device_list.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_file_commands.h"
#include "link/hid_terminal.h"
#include "link/programmer_connection.h"
#include "link/report_layer.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/modal_runner.h"
#include "ui/main/main_window.h"
#include "ui/main/window_commands.h"
#include "ui/theme/theme_colours.h"

namespace tessaflex::app {

// Builds the parts in the order they depend on each other and owns them. The window is
// built before the engine, the connection and the HEX commands, which take it as their
// host; it reaches them through this object's WindowCommands, which answer from the
// moment the constructor has returned. The terminal and the runner must outlive it.
class Program final : public ui::WindowCommands {
 public:
  // terminal: the programmer's link (hidapi in the program, a simulator elsewhere);
  // runner: who answers the modal dialogs (the user, or a test).
  Program(core::ProgramPaths paths, core::SettingsStore settings, devices::DeviceList device_list,
          link::HidTerminal& terminal, ui::ModalRunner& runner);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Runs the window's start-up sequence; the event loop is the caller's.
  void start() { window_.start(); }

  engine::Engine& engine() override { return engine_; }
  link::ProgrammerConnection& connection() override { return connection_; }
  hexfile::HexFileCommands& hex_files() override { return hex_files_; }

  const core::ProgramPaths& paths() const { return paths_; }
  const core::SettingsStore& settings() const { return settings_; }
  const devices::DeviceList& device_list() const { return device_list_; }
  devices::Workspace& workspace() { return workspace_; }
  ui::theme::ThemeColours& colours() { return colours_; }
  ui::Dialogs& dialogs() { return dialogs_; }
  hexfile::FileAccess& files() { return files_; }
  ui::MainWindow& window() { return window_; }

 private:
  const core::ProgramPaths paths_;
  const core::SettingsStore settings_;
  const devices::DeviceList device_list_;
  devices::Workspace workspace_;
  link::HidTerminal& terminal_;
  link::ReportLayer reports_;
  ui::theme::ThemeColours colours_;
  ui::Dialogs dialogs_;
  hexfile::LocalFileAccess files_;
  ui::MainWindow window_;
  engine::Engine engine_;
  link::ProgrammerConnection connection_;
  hexfile::HexFileCommands hex_files_;
};

}  // namespace tessaflex::app
