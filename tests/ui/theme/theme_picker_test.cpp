// The theme picker: its grid and highlight, a click applying at once, and every way it closes.
#include "ui/dialogs/theme_picker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "support/temp_settings.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {
namespace {

QList<QLabel*> entries(QDialog& dialog) {
  return dialog.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^opcija\\(")));
}

QLabel* entry(QDialog& dialog, const std::string& caption) {
  for (QLabel* label : entries(dialog))
    if (label->text().toStdString() == caption) return label;
  throw std::runtime_error("no entry " + caption);
}

// The picker in window_back, the entry named theme_name in the highlight colours, every
// other entry in the value colours.
void expect_painted(QDialog& dialog, const theme::ThemeColours& c) {
  EXPECT_EQ(dialog.palette().color(QPalette::Window), theme::qt_colour(c[theme::window_back]));
  for (QLabel* label : entries(dialog)) {
    const bool current = label->text().toStdString() == c.theme_name;
    EXPECT_EQ(label->palette().color(QPalette::Window),
              theme::qt_colour(c[current ? theme::highlight_back : theme::value_back]));
    EXPECT_EQ(label->palette().color(QPalette::WindowText),
              theme::qt_colour(c[current ? theme::highlight_fore : theme::value_fore]));
  }
}

// What the main window would see at each repaint.
struct Repaint {
  bool picker_visible;
  std::string theme_name;
  theme::Colour window_back;
};

class ThemePickerTest : public ::testing::Test {
 protected:
  void open(const std::string& stored, testing::ScriptedRunner::Action action) {
    settings_.store().save_setting(theme::kThemeSetting, stored);
    theme::load_theme(settings_.store(), colours_);
    runner_.then(std::move(action));
    theme_picker(runner_, nullptr, settings_.store(), colours_, [this] {
      bool visible = false;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("Form34")) visible = w->isVisible();
      }
      repaints_.push_back({visible, colours_.theme_name, colours_[theme::window_back]});
    });
    EXPECT_TRUE(runner_.done());
  }
  std::string setting() const { return settings_.store().get_setting(theme::kThemeSetting, "(none)"); }

  testing::TempSettings settings_;
  theme::ThemeColours colours_;
  testing::ScriptedRunner runner_;
  std::vector<Repaint> repaints_;
};

TEST_F(ThemePickerTest, ShowsEveryThemeOnceInItsCell) {
  open("Original Lite", [&](QDialog& d) {
    std::multiset<std::string> captions;
    for (QLabel* label : entries(d)) captions.insert(label->text().toStdString());
    for (const auto& row : theme::theme_table())
      EXPECT_EQ(captions.count(std::string(row.name)), 1u) << row.name;
    // Row by row in table order, except the two "Original" themes, which end the table, in row 17.
    // clang-format off
    for (const auto& [name, row, column] : {std::tuple{"Amethyst", 0, 0}, {"Powerpuff!", 16, 1},
         {"Original Dark", 17, 0}, {"Owayke", 18, 0}, {"Winamp Old", 22, 1}}) {
      // clang-format on
      EXPECT_EQ(entry(d, name)->geometry(), QRect(8 + 148 * column, 8 + 20 * row, 141, 17)) << name;
    }
    EXPECT_EQ(d.findChild<QPushButton*>("Command1")->geometry(), QRect(228, 472, 69, 25));
    EXPECT_EQ(d.size(), QSize(305, 501));
    d.reject();
  });
  EXPECT_EQ(runner_.captions, std::vector<std::string>{"Change Color Theme"});
}

// Each click applies and saves its theme at once and repaints the window behind; closing saves,
// loads and repaints once more with the picker hidden: Select keeps the last click; Cancel, Esc,
// the close box and Enter (Cancel has the focus) restore the opening name, and its colours
// where it names a theme (the empty name keeps the colours on screen).
TEST_F(ThemePickerTest, ClicksApplyAtOnceAndClosingSavesLoadsAndRepaints) {
  const std::vector<std::string> two = {"Amethyst", "Bloods"};
  const std::string lite = "Original Lite";
  const auto button = [](const char* name) {
    return [name](QDialog& d) { d.findChild<QPushButton*>(name)->click(); };
  };
  // opened, clicks, how it closes, the name kept, the theme whose colours are loaded
  const std::tuple<std::string, std::vector<std::string>, std::function<void(QDialog&)>, std::string,
                   std::string>
      flows[] = {
          {lite, two, button("Command1"), "Bloods", "Bloods"},
          {"Mono Dark", {}, button("Command1"), "Mono Dark", "Mono Dark"},
          {lite, two, button("Command2"), lite, lite},
          {lite, two, [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, lite, lite},
          {lite, two, [](QDialog& d) { d.close(); }, lite, lite},
          {lite, two, [](QDialog& d) { QTest::keyClick(d.focusWidget(), Qt::Key_Return); }, lite, lite},
          {"mono dark", {}, button("Command2"), "mono dark", lite},  // other case: no highlight
          {"Nope", {"Citrus"}, button("Command2"), "Nope", lite},
          {"", {"Citrus"}, button("Command2"), "", "Citrus"}};
  for (const auto& [opened, clicks, close, kept, kept_colours] : flows) {
    SCOPED_TRACE("opened \"" + opened + "\", kept \"" + kept + "\"");
    repaints_.clear();
    open(opened, [&](QDialog& d) {
      expect_painted(d, colours_);
      ASSERT_NE(d.focusWidget(), nullptr);
      EXPECT_EQ(d.focusWidget()->objectName(), "Command2");
      for (std::size_t i = 0; i < clicks.size(); ++i) {
        QTest::mouseClick(entry(d, clicks[i]), Qt::LeftButton);
        EXPECT_EQ(std::pair(setting(), colours_.theme_name), std::pair(clicks[i], clicks[i]));
        EXPECT_EQ(colours_.values, theme::find_theme(clicks[i])->values());
        expect_painted(d, colours_);
        ASSERT_EQ(repaints_.size(), i + 1);
        EXPECT_TRUE(repaints_.back().picker_visible);
        EXPECT_EQ(repaints_.back().window_back, colours_[theme::window_back]);
      }
      close(d);
      EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(std::pair(setting(), colours_.theme_name), std::pair(kept, kept));
    EXPECT_EQ(colours_.values, theme::find_theme(kept_colours)->values());
    ASSERT_EQ(repaints_.size(), clicks.size() + 1);
    EXPECT_FALSE(repaints_.back().picker_visible);
    EXPECT_EQ(repaints_.back().theme_name, kept);
    EXPECT_EQ(repaints_.back().window_back, colours_[theme::window_back]);
  }
}

}  // namespace
}  // namespace tessaflex::ui
