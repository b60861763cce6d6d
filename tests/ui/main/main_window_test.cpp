// The main window on the offscreen platform over the shipped device list and the virtual programmer.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include "support/window_world.h"
#include "ui/main/memory_table.h"
#include "ui/main/window_widgets.h"
#include "ui/theme/load_theme.h"

namespace tessaflex::ui {
namespace {

using test::WindowWorld;

test::ScriptedRunner::Action press(const char* button) {
  return [button](QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
  };
}

// Answers a message box with OK, having seen that its text starts with `starts` beside `icon`.
test::ScriptedRunner::Action ok_after(const char* starts, const char* icon) {
  return [=](QDialog& box) {
    EXPECT_TRUE(box.findChild<QLabel*>("lab_title")->text().startsWith(starts)) << starts;
    EXPECT_FALSE(box.findChild<QWidget*>(icon)->isHidden()) << icon;
    press("Command1")(box);
  };
}

std::vector<bool> all(bool on) { return std::vector<bool>(10, on); }

// One wheel event with the pointer over the middle of a control.
void send_wheel(WindowWorld& world, int delta, const char* over = "client") {
  QWidget* control = world.find(over);
  const QPointF at = control->mapTo(&world.window, control->rect().center());
  QWheelEvent event(at, world.window.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(world.window.windowHandle(), &event);
}

// The model line, the sizes line and the 14 configuration labels against the current model and images.
void expect_shown(WindowWorld& world) {
  const devices::CurrentDevice& device = world.workspace.current_device;
  QStringList shown{world.text("label_ime"), world.text("label_info")};
  QStringList held{QString::fromStdString(device.model_name),
                   QStringLiteral("FLASH: %1,  EEPROM: %2").arg(device.flash_size).arg(device.eeprom_size)};
  for (std::size_t k = 0; k < 14; ++k) {
    shown << world.text(qPrintable(QStringLiteral("label_conf(%1)").arg(k)));
    held << QString::asprintf("%02X", world.workspace.memory_images.config_image[k]);
  }
  EXPECT_EQ(shown, held);
}

// A right click at x, y twips from the table's grid.
void right_click(QWidget* table, int x, int y) {
  const QPoint at(MemoryTable::kInset + (x + 14) / 15, MemoryTable::kInset + (y + 14) / 15);
  QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, at);
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override { world.start(); }
  WindowWorld world;
};

// A first start (nothing stored, no programmer) writes every default; a stored model index
// is rounded half to even, or replaced by the first model when no model has it.
TEST(MainWindowStart, DefaultsAndTheStoredModelIndex) {
  using Row = std::tuple<const char*, std::int32_t, const char*>;
  // clang-format off
  for (const auto& [stored, index, written_back] :
       {Row{nullptr, 1, "1"}, {"0", 1, "1"}, {"51", 1, "1"}, {"4294967298", 1, "1"}, {"abc", 1, "1"},
        {"2.5", 2, "2.5"}, {"50", 50, "50"}}) {
    // clang-format on
    SCOPED_TRACE(stored != nullptr ? stored : "nothing stored");
    WindowWorld world;
    world.programmer.set_present(stored != nullptr);
    QSettings(QString::fromStdString(world.settings.path()), QSettings::IniFormat).clear();
    if (stored != nullptr) world.settings.store().save_setting("Microcontroller Model", stored);
    world.start();
    const core::SettingsStore& s = world.settings.store();
    EXPECT_EQ(std::tuple(s.get_setting("Last Path", "?"), s.get_setting_dword("Mouse Wheel Enabled", 0),
                         s.get_setting("Microcontroller Model", "")),
              std::tuple("/opt/tessaflex/", 1, written_back));
    EXPECT_EQ(world.status(), stored ? "Hardware connected!" : "Hardware not found!");
    EXPECT_EQ(std::pair(world.workspace.current_device.model_index, world.text("label_ime")),
              std::pair(index, QString::fromStdString(world.list.device_list[index].model)));
    EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl1"));
    EXPECT_EQ(world.commands_enabled(), all(true));
  }
}

// The five operations in the order a user works, from the buttons or from the Tools menu.
class Operations : public Window, public ::testing::WithParamInterface<bool> {};

TEST_P(Operations, EraseBlankCheckProgramVerifyRead) {
  const auto run = [&](const char* button, const char* item, const char* result) {
    GetParam() ? world.choose(item) : world.click(button);
    EXPECT_TRUE(world.status().starts_with(result) && world.status().ends_with(" seconds elapsed..."))
        << world.status();
  };
  world.programmer.set_flash(0x10, 0x00);
  world.runner.then(ok_after("Chip is not blank:\r\n\r\nMemory Location", "img_err"));
  run("Command4", "menublank", "Chip is not blank. ");
  run("Command3", "menuerase", "Chip erased. ");
  run("Command4", "menublank", "Chip is blank. ");

  auto& images = world.workspace.memory_images;
  images.flash_image[0] = 0x12;
  images.eeprom_image[0xFF] = 0x56;
  run("Command1", "menuprogram", "Chip programmed. ");
  run("Command5", "menuverify", "Chip verified. ");
  const auto programmed = images;
  devices::erase_images(world.workspace.current_device, images);
  run("Command2", "menuread", "Chip read. ");
  EXPECT_EQ(std::tie(images.flash_image, images.eeprom_image),
            std::tie(programmed.flash_image, programmed.eeprom_image));
  EXPECT_TRUE(world.find<MemoryTable>("tabla_flash")->text().startsWith(QStringLiteral("000000: 12 FF")));
  expect_shown(world);

  images.flash_image[1] = 0x00;
  world.runner.then(ok_after("Chip verify failed:\r\n\r\nMemory Location", "img_err"));
  run("Command5", "menuverify", "Chip verify failed. ");
  EXPECT_TRUE(world.runner.done());
  EXPECT_EQ(world.commands_enabled(), all(true));
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Operations, ::testing::Bool());

// Powered up in the model's order (report 101 VDD first, 102 VPP first). A press released off the
// label does nothing, as on a button.
TEST_F(Window, TestVppSwitchesPowerAndCommands) {
  for (const int order : {1, 2}) {
    world.workspace.current_device.voltage_seq = order;
    QTest::mousePress(world.find("label_vpp"), Qt::LeftButton);
    QTest::mouseRelease(world.find("label_vpp"), Qt::LeftButton, {}, QPoint(-3, -3));
    EXPECT_EQ(world.workspace.vpp_on, false);
    world.click("label_vpp");
    EXPECT_EQ(std::pair(world.status(), int(world.programmer.reports().back()[0])),
              std::pair(std::string("Vpp and Vdd voltages turned ON!"), 100 + order));
    world.choose("menuclear");  // a command's end leaves the operations off while powered
    EXPECT_EQ(std::pair(world.programmer.powered(), world.commands_enabled()), std::pair(true, all(false)));
    world.click("label_vpp");
    EXPECT_EQ(std::tuple(world.status(), world.programmer.powered(), world.commands_enabled()),
              std::tuple("Vpp and Vdd voltages turned OFF!", false, all(true)));
  }
}

// Arrow and page keys move a table by one and eight lines up to its ends; Clear Buffer erases, brings
// both tables to their first line with the model's ranges, empties the file and status lines and
// gives the wheel to FLASH. The wheel's table follows the pointer; a background click gives it FLASH.
TEST(MainWindow, ScrollBarsClearBufferAndWheel) {
  WindowWorld world("18F452", "PIC18F452");
  auto* flash = world.find<QScrollBar>("scrl1");
  auto* eeprom = world.find<QScrollBar>("scrl2");
  eeprom->setMaximum(24);
  world.window.MouseWheel(0, -120, 0, 0);  // before either scroll bar had the focus
  EXPECT_EQ(eeprom->value(), 0);
  world.start();
  // clang-format off
  for (const auto& [key, value] : {std::pair{Qt::Key_Down, 1}, {Qt::Key_PageDown, 9}, {Qt::Key_End, 24},
       {Qt::Key_Down, 24}, {Qt::Key_PageUp, 16}, {Qt::Key_Home, 0}, {Qt::Key_Up, 0}, {Qt::Key_PageDown, 8}}) {
    // clang-format on
    QTest::keyClick(eeprom, key);
    EXPECT_EQ(eeprom->value(), value) << key;
  }
  flash->setValue(2040);
  auto& images = world.workspace.memory_images;
  images.flash_image[0] = images.eeprom_image[0] = 0;
  images.config_image[13] = 0;
  world.window.set_label_hex("a.hex");
  world.choose("menuclear");
  EXPECT_EQ(std::tuple(flash->value(), eeprom->value(), flash->maximum(), eeprom->maximum()),
            std::tuple(0, 0, 2040, 24));
  EXPECT_EQ(std::tuple(world.text("label_hex"), world.status(), QApplication::focusWidget()),
            std::tuple(QString(), std::string(), flash));
  expect_shown(world);
  // Without EEPROM the table is empty and does not scroll; with EEPROM again it does.
  for (const auto& [size, maximum, shown] : {std::tuple{0, 0, ""}, {256, 24, "0000: FF"}}) {
    world.workspace.current_device.eeprom_size = size;
    world.choose("menuclear");
    EXPECT_EQ(std::pair(eeprom->maximum(), world.find<MemoryTable>("tabla_eeprom")->text().left(8)),
              std::pair(maximum, QString(shown)));
  }

  for (const auto& [over, table] : {std::pair{"tabla_eeprom", 2}, {"tabla_flash", 1}, {"tabla_eeprom", 2}}) {
    QTest::mouseMove(world.find(over));
    EXPECT_EQ(world.window.active_table(), table) << over;
  }
  QTest::mouseClick(world.find("client"), Qt::LeftButton, {}, QPoint(333, 80));  // beside the model name
  EXPECT_EQ(world.window.active_table(), 1);

  // A touchpad's small steps scroll once per whole notch.
  for (const auto& [focus, delta, flash_value, eeprom_value] :
       {std::tuple{flash, -120, 3, 0}, {flash, 105, 3, 0}, {flash, 15, 0, 0}, {eeprom, -120, 0, 3}}) {
    focus->setFocus();
    send_wheel(world, delta);
    EXPECT_EQ(std::pair(flash->value(), eeprom->value()), std::pair(flash_value, eeprom_value)) << delta;
  }
  EXPECT_TRUE(world.find<MemoryTable>("tabla_eeprom")->text().startsWith(QStringLiteral("0018:")));
  // One notch over any control moves the wheel's table three lines, and nothing else.
  for (const char* over : {"tabla_flash", "scrl1", "tabla_eeprom", "scrl2", "label_conf(3)", "Command1"}) {
    send_wheel(world, -120, over);
    EXPECT_EQ(std::pair(flash->value(), eeprom->value()), std::pair(0, 6)) << over;
    send_wheel(world, 120, over);
  }
  // Only 0 switches the wheel off, from the next activation on.
  for (const auto& [enabled, value] : {std::pair{"2", 6}, {"-1", 9}, {"0", 9}}) {
    world.settings.store().save_setting("Mouse Wheel Enabled", enabled);
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&world.window);
    ASSERT_TRUE(world.window.isActiveWindow());
    send_wheel(world, -120);
    EXPECT_EQ(eeprom->value(), value) << enabled;
  }
}

TEST(MainWindow, OpenOffersHexFilesFromTheLastFolder) {
  WindowWorld world("18F1320", "PIC18F1320");
  world.settings.store().save_setting("Last Path", TESSAFLEX_FIXTURES_DIR "/shipped_models/");
  world.start();
  world.runner.then([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.windowTitle(), "Select HEX File To Open");
    EXPECT_EQ(files.directory().absolutePath() + '/', TESSAFLEX_FIXTURES_DIR "/shipped_models/");
    files.selectFile(TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex");
    dialog.accept();
  });
  world.click("Label7");
  expect_shown(world);
  // Cancelled, or given a name that does not exist (the dialog refuses it), Open changes nothing.
  world.runner.then([](QDialog& dialog) { dialog.reject(); });
  world.runner.then([](QDialog& dialog) {
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    static_cast<QFileDialog&>(dialog).selectFile(TESSAFLEX_FIXTURES_DIR "/hex/none.hex");
    dialog.accept();
  });
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(std::pair(world.status(), world.text("label_hex").endsWith("/hex/pic18f1320_x220.hex")),
              std::pair(std::string("Operation completed. Total 8192 (8K) program bytes loaded."), true));
    if (i < 2) world.click("label_hex");
  }
}

// "All files" lists a program image whose name has no dot, as it would on Windows.
TEST(MainWindow, FileTypesShowTheirCaptionsAndAllFilesShowsEveryName) {
  QTemporaryDir folder;
  QFile(folder.filePath("blink")).open(QIODevice::WriteOnly);
  WindowWorld world;
  world.settings.store().save_setting("Last Path", (folder.path() + '/').toStdString());
  world.start();
  world.runner.then([&](QDialog& dialog) {
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    auto* view = dialog.findChild<QListView*>("listView");
    ASSERT_TRUE(types != nullptr && view != nullptr);
    EXPECT_EQ((QStringList{types->itemText(0), types->itemText(1)}),
              (QStringList{"Intel HEX files (*.hex)", "All files (*.*)"}));
    const auto listed = [view] { return view->model()->rowCount(view->rootIndex()); };
    QTest::qWait(200);
    EXPECT_EQ(listed(), 0);
    types->setCurrentIndex(1);
    emit types->activated(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == 1; }));
    dialog.reject();
  });
  world.click("Label7");
}

class ByteEditor : public Window {
 protected:
  QLineEdit* field() { return world.find<QLineEdit>("unosbox"); }
  void type(const char* text, Qt::Key key = Qt::Key_Return, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClicks(field(), QString::fromLatin1(text));
    QTest::keyClick(field(), key, modifiers);
  }
};

TEST_F(ByteEditor, OpensOverTheByteAndEnterStoresItInEveryImageAlsoWithThePowerOn) {
  auto* table = world.find<MemoryTable>("tabla_flash");
  world.find<QScrollBar>("scrl1")->setValue(2);
  world.window.set_label_hex("loaded.hex");
  right_click(table, 1000, 200);  // the cell at 960, 195 twips
  ASSERT_TRUE(field()->hasFocus());
  EXPECT_EQ(field()->pos(), table->pos() + QPoint(MemoryTable::kInset + 64, MemoryTable::kInset + 13));
  type("3c");
  auto& images = world.workspace.memory_images;
  EXPECT_EQ(std::tuple(images.flash_image[48], world.text("label_hex"), QApplication::focusWidget()),
            std::tuple(0x3C, QString(), world.find<QWidget>("scrl1")));
  EXPECT_TRUE(table->text().split(QStringLiteral("\r\n"))[1].startsWith(QStringLiteral("000030: 3C FF")));

  world.click("label_vpp");
  right_click(world.find<MemoryTable>("tabla_eeprom"), 720 + 7 * 360 + 10, 10);
  type("a", Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(std::tuple(images.eeprom_image[7], QApplication::focusWidget()),
            std::tuple(0x0A, world.find<QWidget>("scrl2")));
  world.click("label_vpp");

  world.click("label_conf(13)");
  ASSERT_TRUE(field()->hasFocus());
  EXPECT_EQ(field()->pos(), world.find<QWidget>("label_conf(13)")->pos());
  type("0F");
  EXPECT_EQ(std::tuple(images.config_image[13], world.text("label_conf(13)"), QApplication::focusWidget()),
            std::tuple(0x0F, QStringLiteral("0F"), world.find<QWidget>("scrl1")));
  expect_shown(world);
}

TEST_F(ByteEditor, NothingIsStoredByBadTextEscapeFocusLossOrAfterAModelChange) {
  world.window.set_label_hex("loaded.hex");
  for (const auto& [typed, key] :
       {std::pair{"G1", Qt::Key_Return}, {"", Qt::Key_Return}, {"12", Qt::Key_Escape}, {"12", Qt::Key_Tab}}) {
    right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
    ASSERT_TRUE(field()->isVisible());
    type(typed, key);
    EXPECT_FALSE(field()->isVisible()) << typed << ' ' << key;
  }
  right_click(world.find<MemoryTable>("tabla_flash"), 900, 10);
  QTest::mouseClick(world.find<MemoryTable>("tabla_flash"), Qt::LeftButton, Qt::NoModifier, QPoint(80, 10));
  EXPECT_FALSE(field()->isVisible());
  // A byte outside the image after a model change is dropped.
  world.find<QScrollBar>("scrl1")->setValue(255);  // the last lines of 4 KB
  right_click(world.find<MemoryTable>("tabla_flash"), 1000, 7 * 195 + 10);
  ASSERT_TRUE(field()->isVisible());
  QTest::keyClicks(field(), QStringLiteral("12"));
  world.workspace.current_device.flash_size = 128;
  devices::erase_images(world.workspace.current_device, world.workspace.memory_images);
  QTest::keyClick(field(), Qt::Key_Return);
  EXPECT_EQ(world.text("label_hex"), QStringLiteral("loaded.hex")) << "cleared by any stored byte";
}

// Only the focus moving to another control closes the field: not another application
// taking over, nor the field's own menu, whose Paste lands in the field.
TEST_F(ByteEditor, ASwitchOfApplicationOrItsOwnMenuKeepsTheField) {
  right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
  QTest::keyClicks(field(), QStringLiteral("5"));
  QApplication::setActiveWindow(nullptr);
  EXPECT_EQ(std::pair(field()->isVisible(), field()->text()), std::pair(true, QStringLiteral("5")));
  QApplication::setActiveWindow(&world.window);
  ASSERT_TRUE(field()->hasFocus());
  QApplication::clipboard()->setText(QStringLiteral("7A"));
  field()->clear();
  QTimer::singleShot(0, [] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions())
      if (action->text().startsWith("&Paste")) action->trigger();
    menu->close();
  });
  QContextMenuEvent menu_event(QContextMenuEvent::Mouse, QPoint(2, 2), field()->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(field(), &menu_event);
  ASSERT_TRUE(field()->isVisible());
  EXPECT_EQ(field()->text(), "7A");
  type("");
  EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0x7A);
}

// A text wider than the status line ends in an ellipsis and is whole in the tooltip; the
// program's usual texts show whole. The configuration names are in the window's font.
TEST_F(Window, StatusLineShowsEveryTextWholeOrInItsTooltip) {
  auto* line = world.find<StatusLine>("label_status");
  // The longest of each kind: a run's stop, the connection, a load, a run's result, Test Vpp.
  for (const auto& [text, fits] : std::initializer_list<std::pair<QString, bool>>{
           {"Run stopped at statement 34 'temp=s09': the programmer did not take a read report or gave no "
            "answer.",
            false},
           {"Hardware found but could not be opened! Install the udev rule 70-tessaflex.rules.", true},
           {"Operation completed. Total 65536 (64K) program bytes loaded.", true},
           {"Chip is not blank. 1234.56 seconds elapsed...", true},
           {"Vpp and Vdd voltages turned OFF!", true}}) {
    world.window.set_status(text.toStdString());
    EXPECT_EQ(line->text(), text);
    EXPECT_EQ(line->shown_text().endsWith(QChar(0x2026)), !fits) << line->shown_text().toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->shown_text()), line->contentsRect().width());
    EXPECT_EQ(line->toolTip(), fits ? QString() : text);
  }
  for (const char* name : {"lfix(0)", "lfix(13)", "lfix(14)"})
    EXPECT_EQ(world.find<QWidget>(name)->font(), world.window.font()) << name;
}

TEST_F(Window, DuringARunOnlyScrollingActsAndACloseWaitsForTheEnd) {
  bool checked = false;
  QTimer::singleShot(0, &world.window, [&] {
    for (const char* control : {"label_vpp", "Label7", "label_ime", "label_conf(0)"}) world.click(control);
    right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
    EXPECT_FALSE(world.find<QWidget>("unosbox")->isVisible()) << "no byte editor";
    world.window.MouseWheel(0, -120, 0, 0);
    EXPECT_EQ(world.find<QScrollBar>("scrl1")->value(), 3) << "the wheel still scrolls";
    EXPECT_EQ(world.commands_enabled(), all(false));
    EXPECT_FALSE(world.window.close());
    checked = world.window.isVisible();
  });
  world.click("Command1");
  EXPECT_TRUE(world.status().starts_with("Chip programmed. ")) << world.status();
  // Nothing clicked during the run acted; the close asked for then happens after it.
  EXPECT_TRUE(checked) << "the window stayed open during the run";
  EXPECT_FALSE(world.workspace.vpp_on || world.programmer.powered()) << "Test Vpp";
  EXPECT_EQ(world.runner.captions.size(), 0u) << "no dialog opened";
  EXPECT_FALSE(world.window.isVisible()) << "closed after the run";
}

// The Options and Help menus. The model picker always clears the buffer. The time box offers the current
// time; a time out of range is refused with an error box; an empty or cancelled reply changes nothing.
TEST_F(Window, OptionsAndHelpMenus) {
  const std::int32_t opened = world.workspace.current_device.model_index;
  // With the power on by hand the picker works, but its Clear Buffer leaves the commands off.
  // clang-format off
  for (const auto& [from, entry, button, model, powered] :
       {std::tuple{"Label1", 1, "Command2", opened, false}, {"label_ime", 1, "Command2", opened, false},
        {"label_info", 1, "Command2", opened, false}, {"menumodel", 1, "Command1", 1, false},
        {"label_ime", 2, "Command1", 2, true}}) {
    // clang-format on
    if (powered) world.click("label_vpp");
    world.workspace.memory_images.flash_image[0] = 0;
    world.window.set_label_hex("loaded.hex");
    world.runner.then([=](QDialog& picker) {
      QTest::mouseClick(picker.findChild<QWidget*>(QStringLiteral("opcija(%1)").arg(entry)), Qt::LeftButton);
      press(button)(picker);
    });
    from[0] == 'm' ? world.choose(from) : world.click(from);
    EXPECT_EQ(
        std::tuple(world.workspace.current_device.model_index, world.workspace.memory_images.flash_image[0],
                   world.text("label_hex"), world.commands_enabled()),
        std::tuple(model, 0xFF, QString(), all(!powered)))
        << from << ": cleared after Cancel too";
    expect_shown(world);
    if (powered) world.click("label_vpp");
  }
  const std::int32_t designed = world.workspace.current_device.prog_time;
  // clang-format off
  for (const auto& [typed, button, offered, kept] :
       {std::tuple{"", "Command1", designed, designed}, {"7", "Command2", designed, designed},
        {"7", "Command1", designed, 7}, {"31", "Command1", 7, 7}}) {
    // clang-format on
    world.runner.then([&](QDialog& box) {
      auto* field = box.findChild<QLineEdit*>("txt_input");
      EXPECT_EQ(field->text().toInt(), offered);
      field->setText(typed);
      press(button)(box);
    });
    if (std::string_view(typed) == "31") world.runner.then(ok_after("Wrong entry!", "img_err"));
    world.choose("menuprogtime");
    EXPECT_EQ(world.workspace.current_device.prog_time, kept) << typed;
  }
  world.runner.then([](QDialog& box) {
    const QStringList lines = box.findChild<QLabel*>("lab_title")->text().split(QStringLiteral("\r\n"));
    EXPECT_EQ(QStringList({lines.value(0), lines.value(2), lines.value(3), lines.value(5), lines.value(6),
                           QString::number(lines.size())}),
              QStringList({"Tessaflex", "",
                           "This software is supplied as is in goodwill that it will successfully serve its "
                           "purpose, but without any warranties.",
                           "", "Send bug reports and suggestions to:", "8"}));
    ok_after("Tessaflex", "img_ok")(box);
  });
  world.choose("menuabout");
  EXPECT_EQ(world.runner.captions.back(), "Tessaflex");
  EXPECT_TRUE(world.runner.done());
  QStringList captions;  // each menu's caption and its items', with their access keys
  for (const char* menu : {"menu1", "menu3", "menu4", "menu5"}) {
    captions << world.find<QMenu>(menu)->title();
    for (const QAction* item : world.find<QMenu>(menu)->actions()) captions << item->text();
  }
  EXPECT_EQ(captions.join('|'),
            "&File|&Clear Buffer|&Open HEX File|&Save Buffer As|&Tools|&Program All|&Read All|&Erase All|"
            "&Blank Check|&Verify|&Options|Change Microcontroller Model|Change Default Programming Time|"
            "Change Color Theme|Help|About Tessaflex");
}

// Each themed control of the window in the slots it takes, compared with the colours given for four
// themes: Original Lite, Original Dark, Amethyst and Mono Dark, slot by slot.
TEST(MainWindowTheme, EveryThemedControlTakesItsSlots) {
  const std::array<const char*, 4> themes = {"Original Lite", "Original Dark", "Amethyst", "Mono Dark"};
  // clang-format off
  const int given[15][4][3] = {
      {{215, 230, 202}, {128, 128, 128}, {94, 39, 112}, {58, 58, 58}},
      {{233, 233, 218}, {128, 128, 128}, {180, 70, 183}, {37, 37, 37}},
      {{0, 0, 0}, {0, 0, 0}, {90, 32, 134}, {226, 226, 226}},
      {{192, 255, 192}, {192, 255, 192}, {180, 70, 183}, {37, 37, 37}},
      {{0, 0, 0}, {0, 0, 0}, {90, 32, 134}, {226, 226, 226}},
      {{224, 224, 224}, {192, 192, 192}, {255, 255, 255}, {239, 239, 239}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {{255, 255, 255}, {255, 255, 255}, {78, 31, 86}, {0, 0, 0}},
      {{0, 0, 0}, {0, 0, 0}, {200, 111, 255}, {255, 255, 255}},
      {{255, 224, 192}, {192, 192, 192}, {134, 46, 130}, {147, 147, 147}},
      {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}},
      {{255, 192, 192}, {128, 128, 128}, {241, 241, 244}, {115, 115, 115}},
      {{0, 0, 0}, {0, 0, 0}, {64, 0, 81}, {221, 221, 221}},
      {{255, 255, 192}, {255, 255, 192}, {55, 9, 55}, {28, 28, 28}},
      {{0, 0, 0}, {0, 0, 0}, {242, 239, 242}, {231, 231, 231}}};
  const std::tuple<const char*, int, int> controls[] = {
      {"label_ime", 12, 13}, {"label_info", 14, 15}, {"Label3", 10, 11}, {"Label4", 10, 11}, {"Label1", 6, 7},
      {"Label5", 12, 13}, {"Label7", 2, 3}, {"label_vpp", 2, 3}, {"lfix(0)", 4, 5}, {"lfix(14)", 4, 5},
      {"label_hex", 8, 9}, {"label_status", 8, 9}, {"label_conf(0)", 8, 9}, {"label_conf(13)", 8, 9}};
  // clang-format on
  WindowWorld world;
  world.start();
  for (std::size_t t = 0; t < themes.size(); ++t) {
    world.settings.store().save_setting("Color Theme", themes[t]);
    theme::load_theme(world.settings.store(), world.colours);
    world.window.settheme();
    const auto colour = [&](int slot) {
      return QColor(given[slot - 1][t][0], given[slot - 1][t][1], given[slot - 1][t][2]);
    };
    EXPECT_EQ(world.find<Backdrop>("client")->colour(), colour(1)) << themes[t];
    for (const auto& [control, back, fore] : controls) {
      const QPalette palette = world.find<QWidget>(control)->palette();
      EXPECT_EQ(std::pair(palette.color(QPalette::Window), palette.color(QPalette::WindowText)),
                std::pair(colour(back), colour(fore)))
          << themes[t] << ' ' << control;
    }
  }
  // The platform's own colours stay on the buttons and the tables.
  for (const char* control : {"Command1", "tabla_flash", "scrl1"})
    EXPECT_EQ(world.find<QWidget>(control)->palette(), QApplication::palette()) << control;
}

}  // namespace
}  // namespace tessaflex::ui
