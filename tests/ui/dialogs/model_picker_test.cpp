// The model picker: entries and height for the list's size, highlight, Select and Cancel.
#include <gtest/gtest.h>

#include <QLabel>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "dialog_test_support.h"
#include "support/temp_settings.h"
#include "ui/dialogs/picker_layout.h"

namespace tessaflex::ui {
namespace {

// A list of count models named M1, M2, ..., model i programming in i milliseconds.
devices::DeviceList models(int count) {
  devices::DeviceList list;
  for (int i = 1; i <= count; ++i) {
    devices::DeviceModel& model = list.device_list.emplace_back();
    model.model = "M" + std::to_string(i);
    model.flash = "1024";
    model.eeprom = "256";
    model.progtime = std::to_string(i);
  }
  list.model_count = count;
  return list;
}

QLabel& entry(QDialog& dialog, int index) {
  return child<QLabel>(dialog, ("opcija(" + std::to_string(index) + ")").c_str());
}

const QColor kHighlight(200, 0, 0);

// Which of the entries 1..count are highlighted.
std::vector<int> highlighted(QDialog& d, int count) {
  std::vector<int> out;
  for (int i = 1; i <= count; ++i) {
    if (entry(d, i).palette().color(QPalette::Window) == kHighlight) out.push_back(i);
  }
  return out;
}

class ModelPickerTest : public DialogTest {
 protected:
  ModelPickerTest() { colours.values[theme::highlight_back] = theme::rgb(200, 0, 0); }

  // Opens the picker with model current applied and its time then set by hand to 17 ms.
  void pick(const devices::DeviceList& list, int current, const std::function<void(QDialog&)>& act) {
    device.model_index = current;
    devices::apply_selected_model(list, device);
    device.prog_time = 17;
    runner.then(act);
    dialogs.model_picker(nullptr, list, device, settings->store());
  }
  std::string stored() const { return settings->store().get_setting("Microcontroller Model", "none"); }

  std::unique_ptr<testing::TempSettings> settings = std::make_unique<testing::TempSettings>();
  devices::CurrentDevice device;
};

TEST_F(ModelPickerTest, ShowsTheFirstSeventyModelsInAFittedWindowAndHighlightsTheCurrentOne) {
  for (const auto& [count, shown, height] : {std::tuple{1, 1, 61}, {3, 3, 77}, {75, 70, 605}}) {
    pick(models(count), 1, [&](QDialog& d) {
      for (int i = 1; i <= 70; ++i) EXPECT_EQ(entry(d, i).isVisible(), i <= shown) << i;
      EXPECT_EQ(entry(d, shown).text().toStdString(), "M" + std::to_string(shown));
      EXPECT_EQ(entry(d, shown).geometry(), to_pixels(picker_entry(shown)));
      EXPECT_EQ(child(d, "Command1").y(), height - 29);
      EXPECT_EQ(d.size(), QSize(305, height));
      click(d, "Command2");
    });
  }
  pick(models(3), 2, [](QDialog& d) {
    EXPECT_EQ(entry(d, 3).toolTip().toStdString(), "FLASH: 1024, EEPROM: 256");
    EXPECT_EQ(highlighted(d, 3), std::vector<int>{2});
    QTest::mouseClick(&entry(d, 3), Qt::LeftButton);
    EXPECT_EQ(highlighted(d, 3), std::vector<int>{3});
    click(d, "Command2");
  });
  EXPECT_EQ(runner.captions.back(), "Select Microcontroller");
  // A model beyond the seventieth is highlighted nowhere and kept.
  pick(models(75), 72, [](QDialog& d) {
    EXPECT_EQ(highlighted(d, 70), std::vector<int>{});
    click(d, "Command1");
  });
  EXPECT_EQ(device.model_index, 72);
  EXPECT_EQ(stored(), "none");
}

// Only a changed selection is stored and applied (the time set by hand, 17, stays otherwise);
// Esc does nothing; a double-click selects; Cancel and a close by the window system restore.
TEST_F(ModelPickerTest, StoresAndAppliesOnlyAChangedSelection) {
  const auto select = [](QDialog& d) { click(d, "Command1"); };
  const auto double_click = [](QDialog& d) {
    QTest::mouseDClick(&entry(d, 5), Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
  };
  const auto escape = [](QDialog& d) {
    press(d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    click(d, "Command1");
  };
  const auto cancel = [](QDialog& d) { click(d, "Command2"); };
  const auto close = [](QDialog& d) { d.close(); };
  const std::tuple<std::vector<int>, std::function<void(QDialog&)>, int, std::string> cases[] = {
      {{5}, select, 5, "5"},    {{5, 2}, select, 2, "none"}, {{5}, double_click, 5, "5"},
      {{5}, cancel, 2, "none"}, {{5}, escape, 5, "5"},       {{5}, close, 2, "none"}};
  for (const auto& [clicks, act, model_index, setting] : cases) {
    settings = std::make_unique<testing::TempSettings>();
    pick(models(5), 2, [&](QDialog& d) {
      for (int index : clicks) QTest::mouseClick(&entry(d, index), Qt::LeftButton);
      act(d);
    });
    EXPECT_EQ(std::tuple(device.model_index, stored(), device.prog_time),
              std::tuple(model_index, setting, model_index == 2 ? 17 : 5));
  }
}

}  // namespace
}  // namespace tessaflex::ui
