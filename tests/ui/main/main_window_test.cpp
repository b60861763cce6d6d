// The main window on the offscreen platform, over the shipped device list and the
// virtual programmer: start-up, the five operations, Test Vpp, scrolling, busy rules.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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

TEST(MainWindowStart, FirstStartWritesEveryDefaultAndConnects) {
  for (bool present : {false, true}) {
    WindowWorld world;
    world.programmer.set_present(present);
    // No stored model: the first model of the list, not the one WindowWorld chose.
    QSettings(QString::fromStdString(world.settings.path()), QSettings::IniFormat).clear();
    world.start();
    EXPECT_EQ(world.status(), present ? "Hardware connected!" : "Hardware not found!");
    EXPECT_EQ(world.settings.store().get_setting("Last Path", "?"), "/opt/tessaflex/");
    EXPECT_EQ(world.settings.store().get_setting("Microcontroller Model", "?"), "1");
    EXPECT_EQ(world.settings.store().get_setting("Color Theme", "?"), "Original Lite");
    EXPECT_EQ(world.settings.store().get_setting_dword("Hardware Vendor ID", 0), 0x2345);
    EXPECT_EQ(world.settings.store().get_setting_dword("Mouse Wheel Enabled", 0), 1);
    EXPECT_EQ(world.text("label_ime").toStdString(), world.list.device_list[1].model);
    EXPECT_EQ(world.text("label_hex"), QString());
    EXPECT_EQ(world.window.active_table(), 1);
    EXPECT_EQ(QApplication::focusWidget(), world.find<QWidget>("scrl1"));
    EXPECT_EQ(world.commands_enabled(), all(true));
  }
}

TEST(MainWindowStart, StoredModelIndexIsRoundedOrReplaced) {
  struct Case {
    const char* stored;
    std::int32_t index;
    const char* written_back;
  };
  for (const Case& c : {Case{"0", 1, "1"}, Case{"abc", 1, "1"}, Case{"9999999999", 1, "1"},
                        Case{"2.5", 2, "2.5"}, Case{"3.5", 4, "3.5"}}) {
    WindowWorld world;
    world.settings.store().save_setting("Microcontroller Model", c.stored);
    world.start();
    EXPECT_EQ(world.workspace.current_device.model_index, c.index) << c.stored;
    EXPECT_EQ(world.settings.store().get_setting("Microcontroller Model", ""), c.written_back) << c.stored;
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
  const QRegularExpression elapsed(QStringLiteral("^%1\\d+(\\.\\d+)? seconds elapsed\\.\\.\\.$"));
  const auto result = [&](const char* text) {
    return QRegularExpression(elapsed.pattern().arg(QRegularExpression::escape(QString::fromLatin1(text))))
        .match(QString::fromStdString(world.status()))
        .hasMatch();
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
    EXPECT_TRUE(box.findChild<QLabel*>(QStringLiteral("lab_title"))
                    ->text()
                    .startsWith(QStringLiteral("Chip verify failed:\r\n\r\nMemory Location")));
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
  world.start();
  auto* flash = world.find<QScrollBar>("scrl1");
  auto* eeprom = world.find<QScrollBar>("scrl2");
  EXPECT_EQ(flash->maximum(), 2040);
  EXPECT_EQ(eeprom->maximum(), 24);
  send_wheel(world.window, 120);
  EXPECT_EQ(flash->value(), 0);
  send_wheel(world.window, -120);
  EXPECT_EQ(flash->value(), 3);
  EXPECT_TRUE(world.find<MemoryTable>("tabla_flash")->text().startsWith(QStringLiteral("000030:")));
  flash->setValue(2039);
  send_wheel(world.window, -120);
  EXPECT_EQ(flash->value(), 2040);
  // A touchpad's small steps scroll once per whole notch.
  for (int i = 0; i < 7; ++i) send_wheel(world.window, 15);
  EXPECT_EQ(flash->value(), 2040);
  send_wheel(world.window, 15);
  EXPECT_EQ(flash->value(), 2037);

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

TEST(MainWindow, WheelWithoutATargetTableDoesNothing) {
  WindowWorld world;
  world.window.MouseWheel(0, -120, 0, 0);
  EXPECT_EQ(world.find<QScrollBar>("scrl1")->value(), 0);
  EXPECT_EQ(world.window.active_table(), 0);
}

TEST(MainWindow, ModelWithoutEeprom) {
  WindowWorld world;
  world.list
      .device_list[static_cast<std::size_t>(
          std::stoi(world.settings.store().get_setting("Microcontroller Model", "1")))]
      .eeprom = "0";
  world.start();
  EXPECT_EQ(world.find<MemoryTable>("tabla_eeprom")->text(), QString());
  EXPECT_TRUE(world.text("label_info").endsWith(QStringLiteral(",  EEPROM: 0")));
  EXPECT_EQ(world.find<QScrollBar>("scrl2")->maximum(), 0);
}

TEST(MainWindow, OpenLoadsTheChosenFileAndRemembersItsFolder) {
  WindowWorld world("18F1320", "PIC18F1320");
  world.settings.store().save_setting("Last Path", TESSAFLEX_FIXTURES_DIR "/devicelist/");
  world.start();
  const QString fixture = QStringLiteral(TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex");
  world.runner.then([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.windowTitle(), QStringLiteral("Select HEX File To Open"));
    EXPECT_EQ(files.nameFilters(),
              (QStringList{QStringLiteral("Intel HEX files (*.hex)"), QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(files.directory().absolutePath() + QLatin1Char('/'),
              QStringLiteral(TESSAFLEX_FIXTURES_DIR "/devicelist/"));
    files.selectFile(fixture);
    static_cast<QDialog&>(files).accept();
  });
  world.click("Label7");
  EXPECT_EQ(world.status(), "Operation completed. Total 8192 (8K) program bytes loaded.");
  EXPECT_EQ(world.text("label_hex"),
            fixture.size() > 70 ? QStringLiteral("... ") + fixture.right(70) : fixture);
  EXPECT_EQ(world.settings.store().get_setting("Last Path", ""), TESSAFLEX_FIXTURES_DIR "/hex/");
  EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0x80);

  world.runner.then([](QDialog& dialog) { dialog.reject(); });
  world.click("label_hex");
  EXPECT_EQ(world.status(), "Operation completed. Total 8192 (8K) program bytes loaded.") << "cancelled";
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
      auto* field = box.findChild<QLineEdit*>(QStringLiteral("txt_input"));
      field->setText(QString::fromLatin1(text));
      press("Command1")(box);
    });
  };
  world.runner.then([&](QDialog& box) {
    EXPECT_EQ(box.findChild<QLineEdit*>(QStringLiteral("txt_input"))->text().toInt(), designed);
    press("Command1")(box);
  });
  world.choose("menuprogtime");
  EXPECT_EQ(world.workspace.current_device.prog_time, designed) << "the default kept";
  reply("7");
  world.choose("menuprogtime");
  EXPECT_EQ(world.workspace.current_device.prog_time, 7);
  reply("31");
  world.runner.then([](QDialog& box) {
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lab_title"))->text(), QStringLiteral("Wrong entry!"));
    EXPECT_FALSE(box.findChild<QWidget*>(QStringLiteral("img_err"))->isHidden());
    press("Command1")(box);
  });
  world.choose("menuprogtime");
  EXPECT_EQ(world.workspace.current_device.prog_time, 7);
  EXPECT_EQ(world.settings.store().get_setting("Microcontroller Model", ""),
            std::to_string(world.workspace.current_device.model_index))
      << "nothing else stored";

  world.runner.then([](QDialog& box) {
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Tessaflex"));
    EXPECT_TRUE(box.findChild<QLabel*>(QStringLiteral("lab_title"))
                    ->text()
                    .startsWith(QStringLiteral("Tessaflex\r\n")));
    EXPECT_FALSE(box.findChild<QWidget*>(QStringLiteral("img_ok"))->isHidden());
    press("Command1")(box);
  });
  world.choose("menuabout");
  EXPECT_TRUE(world.runner.done());
}

TEST(MainWindowTheme, EveryThemedControlTakesItsSlots) {
  struct Painted {
    const char* control;
    theme::Slot back, fore;
  };
  WindowWorld world;
  world.settings.store().save_setting("Color Theme", "Original Dark");
  world.start();
  const auto colour = [&](theme::Slot slot) { return theme::qt_colour(world.colours[slot]); };
  EXPECT_EQ(world.find<Backdrop>("client")->colour(), QColor(128, 128, 128));
  std::vector<Painted> painted = {{"label_ime", theme::model_name_back, theme::model_name_fore},
                                  {"label_info", theme::message_back, theme::message_fore},
                                  {"Label3", theme::memory_title_back, theme::memory_title_fore},
                                  {"Label4", theme::memory_title_back, theme::memory_title_fore},
                                  {"Label1", theme::model_title_back, theme::model_title_fore},
                                  {"Label5", theme::model_name_back, theme::model_name_fore},
                                  {"Label7", theme::top_label_back, theme::top_label_fore},
                                  {"label_vpp", theme::top_label_back, theme::top_label_fore},
                                  {"lfix(14)", theme::highlight_back, theme::highlight_fore},
                                  {"lfix(0)", theme::highlight_back, theme::highlight_fore},
                                  {"label_hex", theme::value_back, theme::value_fore},
                                  {"label_status", theme::value_back, theme::value_fore},
                                  {"label_conf(13)", theme::value_back, theme::value_fore}};
  for (const Painted& p : painted) {
    const QPalette palette = world.find<QWidget>(p.control)->palette();
    EXPECT_EQ(palette.color(QPalette::Window), colour(p.back)) << p.control;
    EXPECT_EQ(palette.color(QPalette::WindowText), colour(p.fore)) << p.control;
  }
  EXPECT_EQ(world.find<QWidget>("Label3")->palette().color(QPalette::Window), QColor(192, 192, 192));
  // The platform's own colours stay on the buttons and the tables.
  for (const char* control : {"Command1", "tabla_flash", "scrl1"}) {
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Text}) {
      EXPECT_EQ(world.find<QWidget>(control)->palette().color(role), QApplication::palette().color(role))
          << control;
    }
  }
}

TEST(MainWindowTheme, AnEmptyNamePaintsEveryThemedControlBlack) {
  WindowWorld world;
  world.settings.store().save_setting("Color Theme", "");
  world.start();
  EXPECT_EQ(world.find<Backdrop>("client")->colour(), QColor(Qt::black));
  for (const char* control : {"label_ime", "lfix(3)", "label_status"}) {
    EXPECT_EQ(world.find<QWidget>(control)->palette().color(QPalette::Window), QColor(Qt::black)) << control;
  }
  EXPECT_EQ(world.find<QWidget>("label_status")->palette().color(QPalette::WindowText), QColor(Qt::black));
}

}  // namespace
}  // namespace tessaflex::ui
