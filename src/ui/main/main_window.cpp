// The program's main window: memory tables, configuration bytes, commands and status line.
#include "ui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "core/decimal.h"
#include "core/hex_text.h"
#include "core/setting_names.h"
#include "devices/memory_images.h"
#include "engine/engine.h"
#include "hexfile/hex_file_commands.h"
#include "link/programmer_connection.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/modal_runner.h"
#include "ui/fonts.h"
#include "ui/main/byte_editor.h"
#include "ui/main/memory_table.h"
#include "ui/main/options_texts.h"
#include "ui/main/window_widgets.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/qt_colour.h"
#include "ui/theme/theme_table.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

namespace tessaflex::ui {
namespace {

// The designed client area, in twips.
constexpr int kClientWidth = 7095;
constexpr int kClientHeight = 6435;
// The height of every label, and of the byte editor over one, in twips.
constexpr int kLabelHeight = 255;

QString text_of(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void paint(QWidget* widget, const theme::ThemeColours& colours, theme::Slot back, theme::Slot fore,
           bool with_text) {
  if (with_text) {
    theme::paint_widget(*widget, colours[back], colours[fore]);
  } else {
    theme::paint_widget(*widget, colours[back]);
  }
}

// The colours every window is created in: the default theme's.
theme::ThemeColours creation_colours() {
  theme::ThemeColours colours;
  colours.values = theme::original_lite().values();
  return colours;
}

// The five chip operations: the Tools item of each and the run that it and its button
// (Command1..Command5, in this order) start.
struct Operation {
  const char* item;
  const char* caption;
  void (engine::Engine::*run)();
};
constexpr std::array<Operation, 5> kOperations = {
    {{"menuprogram", "&Program All", &engine::Engine::program_all},
     {"menuread", "&Read All", &engine::Engine::read_all},
     {"menuerase", "&Erase All", &engine::Engine::erase_all},
     {"menublank", "&Blank Check", &engine::Engine::blank_check},
     {"menuverify", "&Verify", &engine::Engine::verify_chip}}};

constexpr std::array<const char*, 14> kConfigNames = {"1L", "1H", "2L", "2H", "3L", "3H", "4L",
                                                      "4H", "5L", "5H", "6L", "6H", "7L", "7H"};

}  // namespace

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent),
      paths_(services.paths),
      settings_(services.settings),
      device_list_(services.device_list),
      workspace_(services.workspace),
      reports_(services.reports),
      runner_(services.runner),
      dialogs_(services.dialogs),
      colours_(services.colours),
      commands_(services.commands),
      wheel_hook_(services.settings, [this](std::int32_t keys, std::int32_t rotation, std::int32_t x,
                                            std::int32_t y) { MouseWheel(keys, rotation, x, y); }) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromStdString(paths_.program_title));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(window_font(8.25));
  build_controls();
  build_menus();
  setFixedSize(twips_to_pixels(kClientWidth),
               twips_to_pixels(kClientHeight) + menuBar()->sizeHint().height());
  // Created in the default theme's backgrounds, the labels in the platform's text colour,
  // until the start-up sequence paints the stored theme.
  paint_theme(creation_colours(), false);
}

MainWindow::~MainWindow() = default;

ClickableLabel* MainWindow::add_label(const QString& name, const char* text, const char* tooltip,
                                      const TwipsRect& at) {
  auto* label = place(new ClickableLabel(client_), name, at);
  label->setText(QString::fromLatin1(text));
  if (tooltip != nullptr) label->setToolTip(QString::fromLatin1(tooltip));
  return label;
}

QPushButton* MainWindow::add_button(const char* name, const char* text, int left, int top, int width) {
  auto* button = place(new QPushButton(QString::fromLatin1(text), client_), QString::fromLatin1(name),
                       {left, top, width, 315});
  button->setAutoDefault(false);
  return button;
}

void MainWindow::build_controls() {
  client_ = new Backdrop(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(twips_to_pixels(kClientWidth), twips_to_pixels(kClientHeight));
  client_->installEventFilter(this);
  setCentralWidget(client_);

  constexpr const char* kOpenTip = "Click to open HEX file!";
  constexpr const char* kModelTip = "Click to change microcontroller model!";
  label7_ = add_label(QStringLiteral("Label7"), "Loaded HEX File", kOpenTip, {60, 60, 1755, kLabelHeight});
  label_vpp_ =
      add_label(QStringLiteral("label_vpp"), "Test Vpp",
                "Click to turn ON/OFF Vpp (and Vdd) voltages for the purpose of adjusting Vpp voltage!",
                {6060, 60, 975, kLabelHeight});
  label_hex_ = add_label(QStringLiteral("label_hex"), "", kOpenTip, {60, 360, 6075, kLabelHeight});
  commands_buttons_ = {add_button("Command1", "Program All", 60, 720, 1155),
                       add_button("Command2", "Read All", 1260, 720, 1095),
                       add_button("Command3", "Erase All", 2400, 720, 1095),
                       add_button("Command4", "Blank Check", 3540, 720, 1155),
                       add_button("Command5", "Verify", 4740, 720, 1095),
                       add_button("Command6", "Connect", 5940, 1380, 1095)};
  label1_ =
      add_label(QStringLiteral("Label1"), "Microcontroller Model", kModelTip, {60, 1140, 2055, kLabelHeight});
  label_ime_ = add_label(QStringLiteral("label_ime"), "", kModelTip, {2160, 1140, 2535, kLabelHeight});
  label_info_ = add_label(QStringLiteral("label_info"), "", kModelTip, {60, 1440, 4635, kLabelHeight});
  flash_ = new TablePane(Memory::flash, client_);
  eeprom_ = new TablePane(Memory::eeprom, client_);
  lfix_[14] =
      add_label(QStringLiteral("lfix(14)"), "Configuration Bytes", nullptr, {4080, 3960, 1755, kLabelHeight});

  const QFont fixed = fixed_font(9.75);
  for (int i = 0; i < 14; ++i) {
    const int left = 4080 + 420 * (i % 7);
    const int block_top = i < 7 ? 4260 : 4860;
    lfix_[i] = add_label(QStringLiteral("lfix(%1)").arg(i), kConfigNames[i], nullptr,
                         {left, block_top, 375, kLabelHeight});
    label_conf_[i] = add_label(QStringLiteral("label_conf(%1)").arg(i), "", "Click to edit!",
                               {left, block_top + 300, 375, kLabelHeight});
    label_conf_[i]->setFont(fixed);
  }
  label5_ = add_label(QStringLiteral("Label5"), "Status", nullptr, {5280, 5820, 1755, kLabelHeight});
  label_status_ =
      place(new StatusLine(client_), QStringLiteral("label_status"), {60, 6120, 6975, kLabelHeight});

  editor_ = new ByteEditor(client_, [this](const EditTarget& target, std::optional<std::uint8_t> typed) {
    editor_closed(target, typed);
  });

  QWidget::setTabOrder(commands_buttons_[0], commands_buttons_[1]);
  QWidget::setTabOrder(commands_buttons_[1], commands_buttons_[2]);
  QWidget::setTabOrder(commands_buttons_[2], commands_buttons_[3]);
  QWidget::setTabOrder(commands_buttons_[3], commands_buttons_[4]);
  QWidget::setTabOrder(commands_buttons_[4], flash_->bar());
  QWidget::setTabOrder(flash_->bar(), eeprom_->bar());
  QWidget::setTabOrder(eeprom_->bar(), commands_buttons_[5]);

  for (std::size_t i = 0; i < kOperations.size(); ++i) {
    connect(commands_buttons_[i], &QPushButton::clicked, this,
            [this, run = kOperations[i].run] { run_operation(run); });
  }
  connect(commands_buttons_[5], &QPushButton::clicked, this,
          [this] { commands_.connection().connect_command(); });
  connect(label_vpp_, &ClickableLabel::clicked, this, &MainWindow::label_vpp_Click);
  connect(label7_, &ClickableLabel::clicked, this, &MainWindow::menuopen_Click);
  connect(label_hex_, &ClickableLabel::clicked, this, &MainWindow::menuopen_Click);
  for (ClickableLabel* label : {label1_, label_ime_, label_info_}) {
    connect(label, &ClickableLabel::clicked, this, &MainWindow::menumodel_Click);
  }

  connect_pane(*flash_);
  connect_pane(*eeprom_);
  for (int i = 0; i < 14; ++i) {
    connect(label_conf_[i], &ClickableLabel::clicked, this, [this, i] { label_conf_Click(i); });
  }
}

void MainWindow::connect_pane(TablePane& pane) {
  const Memory id = pane.id();
  connect(pane.bar(), &QScrollBar::valueChanged, this, &MainWindow::updatedisplay);
  connect(pane.bar(), &TableScrollBar::focused, this,
          [this, id] { active_table_ = static_cast<std::int32_t>(id); });
  connect(&pane, &TablePane::pointer_moved, this, [this, id] { table_pointer_moved(id); });
  connect(&pane, &TablePane::focused, this, [this, id] { table_focused(id); });
  connect(&pane, &TablePane::released, this,
          [this, id](Qt::MouseButton button, int x, int y) { table_released(id, button, x, y); });
}

QAction* MainWindow::add_item(QMenu* menu, const char* name, const char* text) {
  QAction* action = menu->addAction(QString::fromLatin1(text));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

void MainWindow::build_menus() {
  QMenuBar* bar = menuBar();
  const auto top = [bar](const char* name, const char* text) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(text));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
  };
  menus_ = {top("menu1", "&File"), top("menu3", "&Tools"), top("menu4", "&Options"), top("menu5", "Help")};

  connect(add_item(menus_[0], "menuclear", "&Clear Buffer"), &QAction::triggered, this,
          &MainWindow::menuclear_Click);
  connect(add_item(menus_[0], "menuopen", "&Open HEX File"), &QAction::triggered, this,
          &MainWindow::menuopen_Click);
  connect(add_item(menus_[0], "menusave", "&Save Buffer As"), &QAction::triggered, this,
          &MainWindow::menusave_Click);

  for (const Operation& operation : kOperations) {
    connect(add_item(menus_[1], operation.item, operation.caption), &QAction::triggered, this,
            [this, run = operation.run] { run_operation(run); });
  }

  connect(add_item(menus_[2], "menumodel", "Change Microcontroller Model"), &QAction::triggered, this,
          &MainWindow::menumodel_Click);
  connect(add_item(menus_[2], "menuprogtime", "Change Default Programming Time"), &QAction::triggered, this,
          &MainWindow::menuprogtime_Click);
  connect(add_item(menus_[2], "menucolors", "Change Color Theme"), &QAction::triggered, this,
          &MainWindow::menucolors_Click);
  connect(add_item(menus_[3], "menuabout", "About Tessaflex"), &QAction::triggered, this,
          &MainWindow::menuabout_Click);
}

void MainWindow::start() {
  theme::load_theme(settings_, colours_);
  settheme();
  centre_on_screen(*this, screen());
  show();
  workspace_.last_path = settings_.get_setting(core::setting::kLastPath, paths_.app_path);

  // A stored index that is not a number, or not a model's, selects the first model; a
  // fraction is rounded and kept as stored.
  const std::optional<std::int32_t> stored =
      core::text_to_whole_number(settings_.get_setting(core::setting::kModel, core::setting::kModelDefault));
  std::int32_t index = stored.value_or(0);
  if (index < 1 || index > device_list_.model_count) {
    index = 1;
    settings_.save_setting(core::setting::kModel, core::setting::kModelDefault);
  }
  workspace_.current_device.model_index = index;
  devices::apply_selected_model(device_list_, workspace_.current_device);
  menuclear_Click();
  workspace_.vpp_on = false;
  commands_.connection().connect_hardware();
}

void MainWindow::paint_theme(const theme::ThemeColours& colours, bool with_text) {
  using namespace theme;
  client_->set_colour(theme::qt_colour(colours[window_back]));
  paint(label_ime_, colours, model_name_back, model_name_fore, with_text);
  paint(label_info_, colours, message_back, message_fore, with_text);
  paint(flash_->caption(), colours, memory_title_back, memory_title_fore, with_text);
  paint(eeprom_->caption(), colours, memory_title_back, memory_title_fore, with_text);
  paint(label1_, colours, model_title_back, model_title_fore, with_text);
  paint(label5_, colours, model_name_back, model_name_fore, with_text);
  paint(label7_, colours, top_label_back, top_label_fore, with_text);
  paint(label_vpp_, colours, top_label_back, top_label_fore, with_text);
  for (ClickableLabel* label : lfix_) paint(label, colours, highlight_back, highlight_fore, with_text);
  paint(label_hex_, colours, value_back, value_fore, with_text);
  paint(label_status_, colours, value_back, value_fore, with_text);
  for (ClickableLabel* label : label_conf_) paint(label, colours, value_back, value_fore, with_text);
}

void MainWindow::settheme() { paint_theme(colours_, true); }

void MainWindow::set_status(std::string_view text) { label_status_->set_status(text_of(text)); }

void MainWindow::set_label_hex(std::string_view text) { label_hex_->setText(text_of(text)); }

void MainWindow::process_events() { QCoreApplication::processEvents(); }

void MainWindow::disable() {
  for (QMenu* menu : menus_) menu->menuAction()->setEnabled(false);
  for (QPushButton* button : commands_buttons_) button->setEnabled(false);
  process_events();
}

void MainWindow::enable() {
  // The power switched on by hand keeps every command off; only Test Vpp turns it off.
  const bool on = !workspace_.vpp_on;
  for (QMenu* menu : menus_) menu->menuAction()->setEnabled(on);
  for (QPushButton* button : commands_buttons_) button->setEnabled(on);
  process_events();
}

void MainWindow::updatedisplay() {
  const devices::CurrentDevice& device = workspace_.current_device;
  const devices::MemoryImages& images = workspace_.memory_images;
  label_ime_->setText(text_of(device.model_name));
  label_info_->setText(text_of(sizes_text(device.flash_size, device.eeprom_size)));
  flash_->clear();
  eeprom_->clear();
  for (ClickableLabel* label : label_conf_) label->clear();
  process_events();
  // The scroll values are read only now, after the events above, so the redraw that
  // ends last shows the values of its own moment.
  flash_->redraw(images);
  eeprom_->redraw(images);
  for (std::size_t k = 0; k < label_conf_.size(); ++k) {
    label_conf_[k]->setText(text_of(core::byte_to_hex(images.config_image[k])));
  }
  process_events();
}

core::BoxAnswer MainWindow::message_box(std::string_view text, core::BoxKind kind, std::string_view caption) {
  return dialogs_.message_box(this, text, kind, caption);
}

void MainWindow::sleep_ms(std::int64_t milliseconds) {
  // The wait keeps the window painted and its tables scrollable.
  QEventLoop loop;
  QTimer::singleShot(std::chrono::milliseconds(milliseconds), &loop, &QEventLoop::quit);
  loop.exec();
}

double MainWindow::clock_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - clock_start_).count();
}

void MainWindow::end_program() {
  ending_ = true;
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::MouseWheel(std::int32_t, std::int32_t rotation, std::int32_t, std::int32_t) {
  if (active_table_ == 0) return;
  TableScrollBar* target = pane(static_cast<Memory>(active_table_)).bar();
  target->setValue(wheel_value(target->value(), rotation, target->minimum(), target->maximum()));
}

template <typename Work>
void MainWindow::while_busy(Work&& work) {
  if (busy_ || ending_) return;
  busy_ = true;
  work();
  busy_ = false;
  if (close_pending_ && !ending_) close();
}

void MainWindow::run_operation(void (engine::Engine::*run)()) {
  while_busy([&] { (commands_.engine().*run)(); });
}

void MainWindow::menuclear_Click() {
  disable();
  devices::erase_images(workspace_.current_device, workspace_.memory_images);
  {
    // Both views go to line 0 before anything is drawn: a first line left over from a
    // larger model could lie past the new images.
    const QSignalBlocker block1(flash_->bar());
    const QSignalBlocker block2(eeprom_->bar());
    flash_->bar()->setValue(0);
    eeprom_->bar()->setValue(0);
  }
  updatedisplay();
  label_hex_->clear();
  label_status_->set_status({});
  enable();
  for (TablePane* shown : {flash_, eeprom_})
    shown->set_image_size(shown->image_size(workspace_.current_device));
  eeprom_->bar()->setFocus();
  flash_->bar()->setFocus();
}

std::string MainWindow::choose_hex_file(bool save) {
  QFileDialog dialog(this,
                     save ? QStringLiteral("Save Buffer As") : QStringLiteral("Select HEX File To Open"),
                     QFile::decodeName(workspace_.last_path.c_str()));
  dialog.setObjectName(save ? QStringLiteral("CommonDialog2") : QStringLiteral("CommonDialog1"));
  // "*.*" would hide every name without a dot here, where a program image may well be
  // called "blink": the captions stay as written, and "All files" matches every name.
  dialog.setNameFilters(
      {QStringLiteral("Intel HEX files (*.hex) (*.hex)"), QStringLiteral("All files (*.*) (*)")});
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The Save command asks its own overwrite question, with the program's own box.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (runner_.run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void MainWindow::menuopen_Click() {
  while_busy([this] { commands_.hex_files().open(choose_hex_file(false)); });
}

void MainWindow::menusave_Click() {
  while_busy([this] { commands_.hex_files().save(choose_hex_file(true)); });
}

void MainWindow::menumodel_Click() {
  while_busy([this] {
    dialogs_.model_picker(this, device_list_, workspace_.current_device, settings_);
    menuclear_Click();
  });
}

void MainWindow::menuprogtime_Click() {
  const std::string reply = dialogs_.input_box(this, kProgTimePrompt, paths_.program_title,
                                               std::to_string(workspace_.current_device.prog_time));
  const ProgTimeReply read = read_programming_time(reply);
  if (read.outcome == ProgTimeReply::Outcome::wrong) {
    message_box(kWrongEntry, core::BoxKind::error, paths_.program_title);
  } else if (read.outcome == ProgTimeReply::Outcome::accepted) {
    workspace_.current_device.prog_time = read.milliseconds;
  }
}

void MainWindow::menucolors_Click() {
  dialogs_.theme_picker(this, settings_, colours_, [this] { settheme(); });
}

void MainWindow::menuabout_Click() {
  message_box(about_text(paths_.program_title), core::BoxKind::plain, paths_.program_title);
}

void MainWindow::label_vpp_Click() {
  if (busy_ || ending_) return;
  workspace_.vpp_on = !workspace_.vpp_on;
  if (workspace_.vpp_on) {
    disable();
    set_status("Vpp and Vdd voltages turned ON!");
    reports_.hid_begin(workspace_.current_device.voltage_seq);
  } else {
    enable();
    set_status("Vpp and Vdd voltages turned OFF!");
    reports_.hid_end();
  }
}

void MainWindow::table_pointer_moved(Memory id) {
  // The pointer over the other table makes that one the wheel's.
  if (active_table_ != 0 && active_table_ != static_cast<std::int32_t>(id)) pane(id).bar()->setFocus();
}

void MainWindow::table_focused(Memory id) {
  pane(id).bar()->setFocus();
  editor_->open_armed();
}

void MainWindow::table_released(Memory id, Qt::MouseButton button, int x_twips, int y_twips) {
  if (button != Qt::RightButton || busy_ || ending_) return;
  process_events();
  TablePane& shown = pane(id);
  const std::optional<TableCell> cell =
      shown.cell_at(x_twips, y_twips, shown.image_size(workspace_.current_device));
  if (!cell) return;
  editor_->arm({id, cell->address}, shown.cell_rect(*cell, kLabelHeight));
  // The press already passed the table's focus on to its scroll bar; the table takes it
  // once more so that its focus handler opens the armed field.
  shown.table()->setFocus(Qt::MouseFocusReason);
}

void MainWindow::label_conf_Click(int index) {
  if (busy_ || ending_) return;
  const QRect at = label_conf_[static_cast<std::size_t>(index)]->geometry();
  editor_->open({Memory::config, index}, {at.x(), at.y(), at.width(), twips_to_pixels(kLabelHeight)});
}

void MainWindow::editor_closed(const EditTarget& target, std::optional<std::uint8_t> typed) {
  // A configuration byte's field hands the focus back to the FLASH table.
  (target.memory == Memory::eeprom ? eeprom_ : flash_)->bar()->setFocus();
  // During a run the images are the run's.
  if (typed && !busy_ && store_byte(workspace_.memory_images, target, *typed)) {
    updatedisplay();
    label_hex_->clear();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    wheel_hook_.hook_wheel(windowHandle());
  } else {
    wheel_hook_.unhook_wheel();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing in the middle of a run would leave the target powered and half written;
  // the window closes as soon as the work has ended and the target is powered down.
  if (busy_ && !ending_) {
    close_pending_ = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::MouseButtonRelease) flash_->bar()->setFocus();
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tessaflex::ui
