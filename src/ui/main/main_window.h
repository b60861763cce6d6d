// The program's main window: memory tables, configuration bytes, commands and status line.
#pragma once

#include <QMainWindow>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "devices/device_list.h"
#include "devices/workspace.h"
#include "link/report_layer.h"
#include "ui/main/table_pane.h"
#include "ui/main/wheel_hook.h"
#include "ui/main/window_commands.h"
#include "ui/theme/theme_colours.h"
#include "ui/twips.h"

class QAction;
class QMenu;
class QPushButton;

namespace tessaflex::ui {

class Backdrop;
class ByteEditor;
class ClickableLabel;
class StatusLine;
class Dialogs;
class ModalRunner;
struct EditTarget;

// What the window is built on; every reference must outlive the window.
struct MainWindowServices {
  const core::ProgramPaths& paths;
  const core::SettingsStore& settings;
  const devices::DeviceList& device_list;
  devices::Workspace& workspace;
  link::ReportLayer& reports;
  ModalRunner& runner;  // shows every modal dialog, the file dialogs included
  Dialogs& dialogs;
  theme::ThemeColours& colours;
  WindowCommands& commands;  // answered from start() on
};

// Form1. One per program. It is the engine's and the file commands' host: their status
// texts, boxes, redraws and waits all come through here. While a chip operation runs
// (or a file is loaded or saved), the window stays painted and its tables scroll, but
// nothing else it offers acts: the commands are disabled, and the labels, the tables'
// editing, Test Vpp and closing the window wait their turn (a close is carried out when
// the work has ended).
class MainWindow : public QMainWindow, public core::Host {
  Q_OBJECT

 public:
  explicit MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence: theme, shown, last folder, model, Clear Buffer, power off,
  // connection. Runs once.
  void start();

  // One wheel message: moves the wheel's table three lines (only the sign of rotation
  // counts); the other values are ignored.
  void MouseWheel(std::int32_t mousekeys, std::int32_t rotation, std::int32_t xpos, std::int32_t ypos);
  // Paints the themed labels and the background from the current theme.
  void settheme();

  // core::Host
  void set_status(std::string_view text) override;
  void process_events() override;
  // Turn the ten command controls off or on, then let pending events run. While the
  // power is on by hand the operation commands stay off whoever calls enable.
  void disable() override;
  void enable() override;
  void updatedisplay() override;
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override;
  void sleep_ms(std::int64_t milliseconds) override;
  double clock_seconds() override;
  void end_program() override;

  // The caption of the loaded-file line.
  void set_label_hex(std::string_view text);

  // 1 FLASH, 2 EEPROM (the values of Memory), 0 before either scroll bar had the focus.
  std::int32_t active_table() const { return active_table_; }
  // True while a chip operation, a file load or a file save is under way.
  bool busy() const { return busy_; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_controls();
  void build_menus();
  void connect_pane(TablePane& pane);
  // Paints what settheme paints from colours; the text colours only when with_text.
  void paint_theme(const theme::ThemeColours& colours, bool with_text);
  ClickableLabel* add_label(const QString& name, const char* text, const char* tooltip, const TwipsRect& at);
  QPushButton* add_button(const char* name, const char* text, int left, int top, int width);
  QAction* add_item(QMenu* menu, const char* name, const char* text);
  TablePane& pane(Memory id) { return id == Memory::flash ? *flash_ : *eeprom_; }

  // Runs work with the window marked busy, then carries out a close requested meanwhile.
  template <typename Work>
  void while_busy(Work&& work);
  void run_operation(void (engine::Engine::*run)());

  void menuclear_Click();
  void menuopen_Click();
  void menusave_Click();
  void menumodel_Click();
  void menuprogtime_Click();
  void menucolors_Click();
  void menuabout_Click();
  void label_vpp_Click();
  void label_conf_Click(int index);
  void table_pointer_moved(Memory id);
  void table_focused(Memory id);
  // A right click on a table byte arms the byte editor over it.
  void table_released(Memory id, Qt::MouseButton button, int x_twips, int y_twips);
  // The byte editor has closed; a typed value is stored unless a run owns the images.
  void editor_closed(const EditTarget& target, std::optional<std::uint8_t> typed);
  // The path the user chose in a HEX file dialog, "" when cancelled.
  std::string choose_hex_file(bool save);

  const core::ProgramPaths& paths_;
  const core::SettingsStore& settings_;
  const devices::DeviceList& device_list_;
  devices::Workspace& workspace_;
  link::ReportLayer& reports_;
  ModalRunner& runner_;
  Dialogs& dialogs_;
  theme::ThemeColours& colours_;
  WindowCommands& commands_;

  WheelHook wheel_hook_;
  std::chrono::steady_clock::time_point clock_start_ = std::chrono::steady_clock::now();
  std::int32_t active_table_ = 0;
  bool busy_ = false;
  bool close_pending_ = false;
  bool ending_ = false;

  Backdrop* client_ = nullptr;
  ClickableLabel* label7_ = nullptr;
  ClickableLabel* label_vpp_ = nullptr;
  ClickableLabel* label_hex_ = nullptr;
  ClickableLabel* label1_ = nullptr;
  ClickableLabel* label_ime_ = nullptr;
  ClickableLabel* label_info_ = nullptr;
  ClickableLabel* label5_ = nullptr;
  StatusLine* label_status_ = nullptr;
  std::array<ClickableLabel*, 15> lfix_{};
  std::array<ClickableLabel*, 14> label_conf_{};
  std::array<QPushButton*, 6> commands_buttons_{};
  TablePane* flash_ = nullptr;
  TablePane* eeprom_ = nullptr;
  ByteEditor* editor_ = nullptr;
  // menu1, menu3, menu4, menu5: the top menus that disable switches.
  std::array<QMenu*, 4> menus_{};
};

}  // namespace tessaflex::ui
