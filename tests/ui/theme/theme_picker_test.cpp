// The theme picker: its grid and highlight, a click applying at once, and every way it closes.
#include "ui/dialogs/theme_picker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>
#include <set>
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
  for (QLabel* label : entries(dialog)) {
    if (label->text().toStdString() == caption) return label;
  }
  ADD_FAILURE() << "no entry " << caption;
  return nullptr;
}

void click(QWidget* widget) {
  const QPointF at = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
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
    const std::tuple<const char*, int, int> cells[] = {
        {"Amethyst", 0, 0},       {"Blueberry And Cream", 3, 1}, {"Powerpuff!", 16, 1},
        {"Original Dark", 17, 0}, {"Original Lite", 17, 1},      {"Owayke", 18, 0},
        {"Winamp Old", 22, 1}};
    for (const auto& [name, row, column] : cells) {
      EXPECT_EQ(entry(d, name)->geometry(), QRect(8 + 148 * column, 8 + 20 * row, 141, 17)) << name;
    }
    EXPECT_EQ(d.findChild<QPushButton*>("Command1")->geometry(), QRect(228, 472, 69, 25));
    EXPECT_EQ(d.size(), QSize(305, 501));
    d.reject();
  });
  EXPECT_EQ(runner_.captions, std::vector<std::string>{"Change Color Theme"});
}

enum class Close { select, cancel, escape, close_box, enter };

struct Flow {
  const char* label;
  std::string opened;
  std::vector<std::string> clicks;
  Close close;
  std::string kept;          // the setting and theme_name afterwards
  std::string kept_colours;  // the theme whose colours are loaded afterwards
};

class ThemePickerFlow : public ThemePickerTest, public ::testing::WithParamInterface<Flow> {};

TEST_P(ThemePickerFlow, ClicksApplyAtOnceAndClosingSavesLoadsAndRepaints) {
  const Flow& f = GetParam();
  open(f.opened, [&](QDialog& d) {
    expect_painted(d, colours_);
    QWidget* focused = d.focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->objectName(), "Command2");
    for (std::size_t i = 0; i < f.clicks.size(); ++i) {
      SCOPED_TRACE(f.clicks[i]);
      click(entry(d, f.clicks[i]));
      EXPECT_EQ(setting(), f.clicks[i]);
      EXPECT_EQ(colours_.theme_name, f.clicks[i]);
      EXPECT_EQ(colours_.values, theme::find_theme(f.clicks[i])->values());
      expect_painted(d, colours_);
      ASSERT_EQ(repaints_.size(), i + 1);
      EXPECT_TRUE(repaints_.back().picker_visible);
      EXPECT_EQ(repaints_.back().window_back, colours_[theme::window_back]);
    }
    const auto key = [](QWidget* to, Qt::Key k) {
      QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
      QApplication::sendEvent(to, &press);
    };
    switch (f.close) {
      case Close::select:
        d.findChild<QPushButton*>("Command1")->click();
        break;
      case Close::cancel:
        d.findChild<QPushButton*>("Command2")->click();
        break;
      case Close::escape:
        key(&d, Qt::Key_Escape);
        break;
      case Close::close_box:
        d.close();
        break;
      case Close::enter:
        key(focused, Qt::Key_Return);
        break;
    }
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(setting(), f.kept);
  EXPECT_EQ(colours_.theme_name, f.kept);
  EXPECT_EQ(colours_.values, theme::find_theme(f.kept_colours)->values());
  // One repaint per click and one at the close, made with the picker hidden and the kept theme loaded.
  ASSERT_EQ(repaints_.size(), f.clicks.size() + 1);
  EXPECT_FALSE(repaints_.back().picker_visible);
  EXPECT_EQ(repaints_.back().theme_name, f.kept);
  EXPECT_EQ(repaints_.back().window_back, colours_[theme::window_back]);
}

const std::vector<std::string> kTwoClicks = {"Amethyst", "Bloods"};
constexpr const char* kLite = "Original Lite";

INSTANTIATE_TEST_SUITE_P(
    Flows, ThemePickerFlow,
    ::testing::Values(
        Flow{"select_keeps_the_last_click", kLite, kTwoClicks, Close::select, "Bloods", "Bloods"},
        Flow{"select_without_click", "Mono Dark", {}, Close::select, "Mono Dark", "Mono Dark"},
        Flow{"cancel_restores_the_opening_theme", kLite, kTwoClicks, Close::cancel, kLite, kLite},
        Flow{"escape_is_cancel", kLite, kTwoClicks, Close::escape, kLite, kLite},
        Flow{"close_box_is_cancel", kLite, kTwoClicks, Close::close_box, kLite, kLite},
        Flow{"enter_presses_the_focused_cancel", kLite, kTwoClicks, Close::enter, kLite, kLite},
        Flow{"other_case_highlights_nothing", "mono dark", {}, Close::cancel, "mono dark", kLite},
        Flow{"cancel_writes_an_unknown_name_back", "Nope", {"Citrus"}, Close::cancel, "Nope", kLite},
        Flow{"cancel_to_the_empty_name_keeps_the_clicked_colours",
             "",
             {"Citrus"},
             Close::cancel,
             "",
             "Citrus"}),
    [](const auto& p) { return std::string(p.param.label); });

}  // namespace
}  // namespace tessaflex::ui
