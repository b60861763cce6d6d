// The main window on the offscreen platform, over the shipped device list and the
// virtual programmer: start-up, the five operations, Test Vpp, scrolling, busy rules.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QWheelEvent>

#include "support/window_world.h"
#include "ui/main/memory_table.h"

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

}  // namespace
}  // namespace tessaflex::ui
