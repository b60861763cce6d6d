// The in-place byte editor on the real window: a right click on a table byte or a click on
// a configuration byte, then Enter, Escape or a focus change.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include "support/window_world.h"
#include "ui/main/memory_table.h"

namespace tessaflex::ui {
namespace {

using testing::WindowWorld;

// A right click at x, y twips from the table's grid.
void right_click(QWidget* table, int x, int y) {
  const QPoint at(MemoryTable::kInset + (x + 14) / 15, MemoryTable::kInset + (y + 14) / 15);
  QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, at);
}

class ByteEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    world.start();
    world.text("label_hex");
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

TEST_F(ByteEditor, EepromAndConfigurationBytes) {
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
}

TEST_F(ByteEditor, NothingIsStoredByBadTextEscapeOrFocusLoss) {
  const auto before = world.workspace.memory_images.flash_image;
  for (const auto& close : std::vector<std::function<void()>>{
           [&] { type("G1"); }, [&] { type(" 5"); }, [&] { type(""); }, [&] { type("12", Qt::Key_Escape); },
           [&] {
             QTest::keyClicks(field(), QStringLiteral("12"));
             world.find<QWidget>("scrl2")->setFocus();
           }}) {
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

TEST_F(ByteEditor, InertDuringARunButUsableWithThePowerOn) {
  world.workspace.memory_images.flash_image.back() = 0;
  bool checked = false;
  QTimer::singleShot(0, &world.window, [&] {
    right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
    world.click("label_conf(0)");
    EXPECT_FALSE(field()->isVisible());
    checked = true;
  });
  world.click("Command1");
  EXPECT_TRUE(checked);

  world.click("label_vpp");
  right_click(world.find<MemoryTable>("tabla_flash"), 1000, 10);
  type("77");
  EXPECT_EQ(world.workspace.memory_images.flash_image[0], 0x77);
  world.click("label_vpp");
}

}  // namespace
}  // namespace tessaflex::ui
