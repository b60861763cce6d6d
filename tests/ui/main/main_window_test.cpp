// The main window on the offscreen platform, over the shipped device list and the
// virtual programmer: start-up, the five operations, Test Vpp, scrolling, busy rules, the
// in-place byte editor, menus and colours.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QWheelEvent>

#include "support/window_world.h"
#include "ui/main/memory_table.h"
#include "ui/main/window_widgets.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {
namespace {

using testing::WindowWorld;

// Presses a button of the dialog the runner shows, as a user's click would.
testing::ScriptedRunner::Action press(const char* button) {
  return [button](QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
  };
}

std::vector<bool> all(bool on) { return std::vector<bool>(10, on); }

void send_wheel(MainWindow& window, int delta) {
  const QPointF at(100, 100);
  QWheelEvent event(at, window.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window.windowHandle(), &event);
}

// A first start (nothing stored, no programmer) writes every default; a stored model index
// is rounded half to even, or replaced by the first model when no model has it.
TEST(MainWindowStart, DefaultsAndTheStoredModelIndex) {
  // clang-format off
  for (const auto& [stored, index, written_back] :
       {std::tuple<const char*, std::int32_t, const char*>{nullptr, 1, "1"}, {"0", 1, "1"}, {"abc", 1, "1"},
        {"9999999999", 1, "1"}, {"2.5", 2, "2.5"}, {"3.5", 4, "3.5"}}) {
    // clang-format on
    WindowWorld world;
    world.programmer.set_present(stored != nullptr);
    QSettings(QString::fromStdString(world.settings.path()), QSettings::IniFormat).clear();
    if (stored != nullptr) world.settings.store().save_setting("Microcontroller Model", stored);
    world.start();
    const core::SettingsStore& store = world.settings.store();
    EXPECT_EQ(world.status(), stored ? "Hardware connected!" : "Hardware not found!");
    EXPECT_EQ(store.get_setting("Last Path", "?"), "/opt/tessaflex/");
    EXPECT_EQ(store.get_setting("Color Theme", "?"), "Original Lite");
    EXPECT_EQ(store.get_setting_dword("Hardware Vendor ID", 0), 0x2345);
    EXPECT_EQ(store.get_setting_dword("Mouse Wheel Enabled", 0), 1);
    EXPECT_EQ(world.workspace.current_device.model_index, index) << stored;
    EXPECT_EQ(store.get_setting("Microcontroller Model", ""), written_back) << stored;
    EXPECT_EQ(world.text("label_ime").toStdString(), world.list.device_list[index].model);
    EXPECT_EQ(world.window.active_table(), 1);
    EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl1"));
    EXPECT_EQ(world.commands_enabled(), all(true));
  }
}

// The five operations in the order a user works, from the buttons or from the Tools menu.
class Operations : public ::testing::TestWithParam<bool> {
 protected:
  void start(WindowWorld& world, const char* button, const char* item) {
    if (GetParam()) {
      world.choose(item);
    } else {
      world.click(button);
    }
  }
};

TEST_P(Operations, EraseBlankCheckProgramVerifyRead) {
  WindowWorld world;
  world.start();
  const auto result = [&](const char* text) {
    return world.status().starts_with(text) && world.status().ends_with(" seconds elapsed...");
  };
  world.programmer.set_flash(0x10, 0x00);

  world.runner.then(press("Command1"));
  start(world, "Command4", "menublank");
  EXPECT_TRUE(result("Chip is not blank. ")) << world.status();
  EXPECT_EQ(world.runner.shown, std::vector<std::string>{"Form08"});

  start(world, "Command3", "menuerase");
  EXPECT_TRUE(result("Chip erased. ")) << world.status();
  start(world, "Command4", "menublank");
  EXPECT_TRUE(result("Chip is blank. ")) << world.status();

  auto& images = world.workspace.memory_images;
  images.flash_image[0] = 0x12;
  images.flash_image[0xFFF] = 0x34;
  images.eeprom_image[0xFF] = 0x56;
  start(world, "Command1", "menuprogram");
  EXPECT_TRUE(result("Chip programmed. ")) << world.status();
  EXPECT_EQ(world.programmer.flash()[0xFFF], 0x34);
  EXPECT_EQ(world.programmer.eeprom()[0xFF], 0x56);
  start(world, "Command5", "menuverify");
  EXPECT_TRUE(result("Chip verified. ")) << world.status();

  const auto programmed = images;
  images.flash_image.assign(images.flash_image.size(), 0xFF);
  start(world, "Command2", "menuread");
  EXPECT_TRUE(result("Chip read. ")) << world.status();
  EXPECT_EQ(images.flash_image, programmed.flash_image);
  EXPECT_EQ(images.eeprom_image, programmed.eeprom_image);
  EXPECT_TRUE(world.find<MemoryTable>("tabla_flash")->text().startsWith(QStringLiteral("000000: 12 FF")));

  images.flash_image[1] = 0x00;
  world.runner.then([&](QDialog& box) {
    EXPECT_TRUE(
        box.findChild<QLabel*>("lab_title")->text().startsWith("Chip verify failed:\r\n\r\nMemory Location"));
    press("Command1")(box);
  });
  start(world, "Command5", "menuverify");
  EXPECT_TRUE(result("Chip verify failed. ")) << world.status();
  EXPECT_TRUE(world.runner.done());
  EXPECT_EQ(world.commands_enabled(), all(true));
  EXPECT_TRUE(world.programmer.violations().empty()) << world.programmer.violations_text();
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Operations, ::testing::Bool(),
                         [](const auto& row) { return row.param ? "ToolsMenu" : "Buttons"; });

TEST(MainWindow, TestVppSwitchesPowerAndCommands) {
  WindowWorld world;
  world.start();
  world.window.disable();
  world.window.disable();
  world.window.enable();
  EXPECT_EQ(world.commands_enabled(), all(true)) << "enable undoes any number of disables";

  world.click("label_vpp");
  EXPECT_EQ(world.status(), "Vpp and Vdd voltages turned ON!");
  EXPECT_TRUE(world.programmer.powered());
  EXPECT_EQ(world.commands_enabled(), all(false));
  // Commands that end by enabling the window leave the operations off while powered.
  world.choose("menuclear");
  EXPECT_EQ(world.commands_enabled(), all(false));
  world.click("label_vpp");
  EXPECT_EQ(world.status(), "Vpp and Vdd voltages turned OFF!");
  EXPECT_FALSE(world.programmer.powered());
  EXPECT_EQ(world.commands_enabled(), all(true));
}

TEST(MainWindow, WheelScrollsTheTableWithTheFocus) {
  WindowWorld world("18F452", "PIC18F452");
  auto* flash = world.find<QScrollBar>("scrl1");
  world.window.MouseWheel(0, -120, 0, 0);  // before any table has the focus
  EXPECT_EQ(flash->value(), 0);
  EXPECT_EQ(world.window.active_table(), 0);
  world.start();
  auto* eeprom = world.find<QScrollBar>("scrl2");
  EXPECT_EQ(flash->maximum(), 2040);
  EXPECT_EQ(eeprom->maximum(), 24);
  send_wheel(world.window, -120);
  EXPECT_EQ(flash->value(), 3);
  EXPECT_TRUE(world.find<MemoryTable>("tabla_flash")->text().startsWith(QStringLiteral("000030:")));
  // A touchpad's small steps scroll once per whole notch.
  for (int i = 0; i < 7; ++i) send_wheel(world.window, 15);
  EXPECT_EQ(flash->value(), 3);
  send_wheel(world.window, 15);
  EXPECT_EQ(flash->value(), 0);

  eeprom->setFocus();
  EXPECT_EQ(world.window.active_table(), 2);
  send_wheel(world.window, -120);
  EXPECT_EQ(eeprom->value(), 3);
  EXPECT_TRUE(world.find<MemoryTable>("tabla_eeprom")->text().startsWith(QStringLiteral("0018:")));

  // Switched off, the wheel moves nothing at the next activation.
  world.settings.store().save_setting("Mouse Wheel Enabled", "0");
  QSettings(QString::fromStdString(world.settings.path()), QSettings::IniFormat)
      .setValue(QStringLiteral("Mouse%20Wheel%20Enabled"), 0);
  world.window.clearFocus();
  QApplication::setActiveWindow(nullptr);
  world.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&world.window));
  send_wheel(world.window, -120);
  EXPECT_EQ(eeprom->value(), 3);
}

TEST(MainWindow, ModelWithoutEeprom) {
  WindowWorld world;
  for (auto& model : world.list.device_list) model.eeprom = "0";
  world.start();
  EXPECT_EQ(world.find<MemoryTable>("tabla_eeprom")->text(), QString());
  EXPECT_TRUE(world.text("label_info").endsWith(QStringLiteral(",  EEPROM: 0")));
  EXPECT_EQ(world.find<QScrollBar>("scrl2")->maximum(), 0);
}

TEST(MainWindow, OpenLoadsTheChosenFileAndRemembersItsFolder) {
  WindowWorld world("18F1320", "PIC18F1320");
  world.settings.store().save_setting("Last Path", TESSAFLEX_FIXTURES_DIR "/devicelist/");
  world.start();
  world.runner.then([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.windowTitle(), "Select HEX File To Open");
    EXPECT_EQ(files.nameFilters(), (QStringList{"Intel HEX files (*.hex)", "All files (*.*)"}));
    EXPECT_EQ(files.directory().absolutePath() + '/', TESSAFLEX_FIXTURES_DIR "/devicelist/");
    files.selectFile(TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex");
    static_cast<QDialog&>(files).accept();
  });
  world.click("Label7");
  EXPECT_EQ(world.status(), "Operation completed. Total 8192 (8K) program bytes loaded.");
  EXPECT_TRUE(world.text("label_hex").endsWith("/hex/pic18f1320_x220.hex"));
  EXPECT_EQ(world.settings.store().get_setting("Last Path", ""), TESSAFLEX_FIXTURES_DIR "/hex/");
  EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0x80);

  world.runner.then([](QDialog& dialog) { dialog.reject(); });
  world.click("label_hex");
  EXPECT_EQ(world.status(), "Operation completed. Total 8192 (8K) program bytes loaded.") << "cancelled";
}

// A right click at x, y twips from the table's grid.
void right_click(QWidget* table, int x, int y) {
  const QPoint at(MemoryTable::kInset + (x + 14) / 15, MemoryTable::kInset + (y + 14) / 15);
  QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, at);
}

class ByteEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    world.start();
    world.window.set_label_hex("loaded.hex");
  }
  QLineEdit* field() { return world.find<QLineEdit>("unosbox"); }
  void type(const char* text, Qt::Key key = Qt::Key_Return) {
    QTest::keyClicks(field(), QString::fromLatin1(text));
    QTest::keyClick(field(), key);
  }

  WindowWorld world;
};

TEST_F(ByteEditor, RightClickOpensTheFieldOverTheByteAndEnterStoresIt) {
  auto* table = world.find<MemoryTable>("tabla_flash");
  world.find<QScrollBar>("scrl1")->setValue(2);
  right_click(table, 1000, 200);
  ASSERT_TRUE(field()->isVisible());
  EXPECT_TRUE(field()->hasFocus());
  EXPECT_EQ(field()->geometry().topLeft(),
            table->pos() + QPoint(MemoryTable::kInset + 960 / 15, MemoryTable::kInset + 195 / 15));
  EXPECT_EQ(field()->width(), 360 / 15);
  type("3c");
  EXPECT_FALSE(field()->isVisible());
  EXPECT_EQ(world.workspace.memory_images.flash_image[48], 0x3C);
  EXPECT_TRUE(table->text().split(QStringLiteral("\r\n"))[1].startsWith(QStringLiteral("000030: 3C FF")));
  EXPECT_EQ(world.text("label_hex"), QString());
  EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl1"));
}

TEST_F(ByteEditor, EepromAndConfigurationBytesAlsoWithThePowerOn) {
  right_click(world.find<MemoryTable>("tabla_eeprom"), 720 + 7 * 360 + 10, 10);
  type("a");
  EXPECT_EQ(world.workspace.memory_images.eeprom_image[7], 0x0A);
  EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl2"));

  world.click("label_conf(13)");
  ASSERT_TRUE(field()->isVisible());
  EXPECT_EQ(field()->geometry().topLeft(), world.find<QWidget>("label_conf(13)")->pos());
  type("0F");
  EXPECT_EQ(world.workspace.memory_images.config_image[13], 0x0F);
  EXPECT_EQ(world.text("label_conf(13)"), QStringLiteral("0F"));
  EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl1"));
  world.click("label_vpp");
  right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
  type("77");
  EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0x77);
  world.click("label_vpp");
}

TEST_F(ByteEditor, NothingIsStoredByBadTextEscapeOrFocusLoss) {
  const auto before = world.workspace.memory_images.flash_image;
  const auto focus_loss = [&] {
    QTest::keyClicks(field(), QStringLiteral("12"));
    world.find<QWidget>("scrl2")->setFocus();
  };
  for (const auto& close : std::vector<std::function<void()>>{
           [&] { type("G1"); }, [&] { type(""); }, [&] { type("12", Qt::Key_Escape); }, focus_loss}) {
    right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
    ASSERT_TRUE(field()->isVisible());
    close();
    EXPECT_FALSE(field()->isVisible());
  }
  EXPECT_EQ(world.workspace.memory_images.flash_image, before);
  EXPECT_EQ(world.text("label_hex"), QStringLiteral("loaded.hex"));
  // Clicks beside the bytes open nothing.
  right_click(world.find<MemoryTable>("tabla_flash"), 900, 10);
  QTest::mouseClick(world.find<MemoryTable>("tabla_flash"), Qt::LeftButton, Qt::NoModifier, QPoint(80, 10));
  EXPECT_FALSE(field()->isVisible());
}

TEST_F(ByteEditor, AByteOutsideTheImageAfterAModelChangeIsDropped) {
  world.find<QScrollBar>("scrl1")->setValue(255);  // the last lines of 4 KB
  right_click(world.find<MemoryTable>("tabla_flash"), 1000, 7 * 195 + 10);
  ASSERT_TRUE(field()->isVisible());
  QTest::keyClicks(field(), QStringLiteral("12"));
  world.workspace.current_device.flash_size = 128;
  devices::erase_images(world.workspace.current_device, world.workspace.memory_images);
  QTest::keyClick(field(), Qt::Key_Return);
  EXPECT_FALSE(field()->isVisible());
  EXPECT_EQ(world.workspace.memory_images.flash_image.size(), 128u);
  EXPECT_EQ(world.text("label_hex"), QStringLiteral("loaded.hex"));
}

TEST(MainWindow, DuringARunOnlyScrollingActsAndACloseWaitsForTheEnd) {
  WindowWorld world;
  world.start();
  world.window.show();
  bool checked = false;
  QTimer::singleShot(0, &world.window, [&] {
    EXPECT_TRUE(world.window.busy());
    world.click("label_vpp");
    world.click("Label7");
    world.click("label_ime");
    right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
    world.click("label_conf(0)");
    EXPECT_FALSE(world.find<QWidget>("unosbox")->isVisible()) << "no byte editor";
    world.window.MouseWheel(0, -120, 0, 0);
    EXPECT_EQ(world.find<QScrollBar>("scrl1")->value(), 3) << "the wheel still scrolls";
    EXPECT_FALSE(world.window.close());
    EXPECT_TRUE(world.window.isVisible());
    checked = true;
  });
  world.click("Command1");
  EXPECT_TRUE(checked);
  EXPECT_FALSE(world.workspace.vpp_on);
  EXPECT_TRUE(world.runner.shown.empty());
  EXPECT_TRUE(world.status().rfind("Chip programmed. ", 0) == 0) << world.status();
  EXPECT_FALSE(world.programmer.powered());
  EXPECT_FALSE(world.window.isVisible()) << "the close asked for during the run happens after it";
}

TEST(MainWindow, UnpluggedInTheMiddleOfARun) {
  WindowWorld world;
  world.start();
  world.workspace.memory_images.flash_image.back() = 0;
  world.programmer.disconnect_after(200);
  world.click("Command1");
  EXPECT_EQ(world.status().rfind("Chip programmed", 0), std::string::npos) << world.status();
  EXPECT_FALSE(world.status().empty());
  EXPECT_EQ(world.commands_enabled(), all(true));
  world.click("Command5");
  EXPECT_EQ(world.status(), "Hardware not found!");
}

TEST(MainWindowMenus, ModelPickerAlwaysClearsTheBuffer) {
  WindowWorld world;
  world.start();
  const std::int32_t opened = world.workspace.current_device.model_index;
  const auto pick = [&](int entry, const char* button) {
    world.runner.then([=](QDialog& picker) {
      QTest::mouseClick(picker.findChild<QWidget*>(QStringLiteral("opcija(%1)").arg(entry)), Qt::LeftButton);
      press(button)(picker);
    });
  };
  for (const char* label : {"Label1", "label_ime", "label_info"}) {
    world.workspace.memory_images.flash_image[0] = 0;
    world.window.set_label_hex("loaded.hex");
    pick(1, "Command2");
    world.click(label);
    EXPECT_EQ(world.workspace.current_device.model_index, opened) << label;
    EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0xFF) << "cleared after Cancel too";
    EXPECT_EQ(world.text("label_hex"), QString());
  }
  pick(1, "Command1");
  world.choose("menumodel");
  EXPECT_EQ(world.workspace.current_device.model_index, 1);
  EXPECT_EQ(world.text("label_ime").toStdString(), world.list.device_list[1].model);
  EXPECT_EQ(world.settings.store().get_setting("Microcontroller Model", ""), "1");

  // With the power on by hand the picker works, but its Clear Buffer leaves the commands off.
  world.click("label_vpp");
  pick(2, "Command1");
  world.click("label_ime");
  EXPECT_EQ(world.workspace.current_device.model_index, 2);
  EXPECT_EQ(world.commands_enabled(), all(false));
  world.click("label_vpp");
  EXPECT_TRUE(world.runner.done());
}

TEST(MainWindowMenus, ProgrammingTimeAndAbout) {
  WindowWorld world;
  world.start();
  const std::int32_t designed = world.workspace.current_device.prog_time;
  const auto reply = [&](const char* text) {
    world.runner.then([=](QDialog& box) {
      auto* field = box.findChild<QLineEdit*>("txt_input");
      EXPECT_TRUE(text != nullptr || field->text().toInt() == designed) << field->text().toStdString();
      if (text != nullptr) field->setText(text);
      press("Command1")(box);
    });
  };
  const auto expect_box = [&](const char* starts, const char* icon) {
    world.runner.then([=](QDialog& box) {
      EXPECT_TRUE(box.findChild<QLabel*>("lab_title")->text().startsWith(starts));
      EXPECT_FALSE(box.findChild<QWidget*>(icon)->isHidden());
      press("Command1")(box);
    });
  };
  for (const auto& [text, kept] : {std::pair{(const char*)nullptr, designed}, {"7", 7}, {"31", 7}}) {
    reply(text);
    if (text != nullptr && std::string_view(text) == "31") expect_box("Wrong entry!", "img_err");
    world.choose("menuprogtime");
    EXPECT_EQ(world.workspace.current_device.prog_time, kept) << (text ? text : "the default");
  }
  EXPECT_EQ(world.settings.store().get_setting("Microcontroller Model", ""),
            std::to_string(world.workspace.current_device.model_index))
      << "nothing else stored";
  expect_box("Tessaflex\r\n", "img_ok");
  world.choose("menuabout");
  EXPECT_EQ(world.runner.captions.back(), "Tessaflex");
  EXPECT_TRUE(world.runner.done());
}

// Original Dark, and the empty name, which leaves every themed control black.
TEST(MainWindowTheme, EveryThemedControlTakesItsSlots) {
  struct Painted {
    const char* control;
    theme::Slot back, fore;
  };
  using namespace theme;
  for (const char* name : {"Original Dark", ""}) {
    WindowWorld world;
    world.settings.store().save_setting("Color Theme", name);
    world.start();
    const QColor black(Qt::black);
    const auto expected = [&](Slot slot) { return *name ? qt_colour(world.colours[slot]) : black; };
    EXPECT_EQ(world.find<Backdrop>("client")->colour(), *name ? QColor(128, 128, 128) : black) << name;
    EXPECT_EQ(world.find<QWidget>("Label3")->palette().color(QPalette::Window),
              *name ? QColor(192, 192, 192) : black);
    // One control per pair of slots.
    // clang-format off
    for (const Painted& p :
         {Painted{"label_ime", model_name_back, model_name_fore}, {"label_info", message_back, message_fore},
          {"Label3", memory_title_back, memory_title_fore}, {"Label1", model_title_back, model_title_fore},
          {"Label7", top_label_back, top_label_fore}, {"lfix(14)", highlight_back, highlight_fore},
          {"label_status", value_back, value_fore}}) {
      // clang-format on
      const QPalette palette = world.find<QWidget>(p.control)->palette();
      EXPECT_EQ(palette.color(QPalette::Window), expected(p.back)) << p.control;
      EXPECT_EQ(palette.color(QPalette::WindowText), expected(p.fore)) << p.control;
    }
    // The platform's own colours stay on the buttons and the tables.
    for (const char* control : {"Command1", "tabla_flash", "scrl1"}) {
      for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Text}) {
        EXPECT_EQ(world.find<QWidget>(control)->palette().color(role), QApplication::palette().color(role))
            << control;
      }
    }
  }
}

}  // namespace
}  // namespace tessaflex::ui
