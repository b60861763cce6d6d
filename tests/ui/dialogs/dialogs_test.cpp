// The message box, the input box and the two pickers as the user meets them.
#include "ui/dialogs/dialogs.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/setting_names.h"
#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "support/temp_settings.h"
#include "ui/dialogs/theme_picker.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {
namespace {

// The control of that name, else the label showing that text; nullptr when none.
QWidget* find(QDialog& dialog, const std::string& name) {
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    auto* label = qobject_cast<QLabel*>(w);
    if (w->objectName().toStdString() == name || (label && label->text().toStdString() == name)) return w;
  }
  return nullptr;
}

template <typename T = QWidget>
T& child(QDialog& dialog, const std::string& name) {
  if (auto* widget = qobject_cast<T*>(find(dialog, name))) return *widget;
  throw std::runtime_error("no control " + name);
}

std::string opcija(int index) { return "opcija(" + std::to_string(index) + ")"; }

// Each step on the still open dialog: click a control or label text ("double": twice), "close"
// as the window system does, else a key (as "Shift+N") to the control with the focus.
void act(QDialog& d, const std::string& steps) {
  std::istringstream in(steps);
  for (std::string step; in >> step;) {
    ASSERT_TRUE(d.isVisible()) << step;
    if (step == "close") {
      d.close();
    } else if (step == "double" && in >> step) {
      QTest::mouseDClick(&child(d, step), Qt::LeftButton);
    } else if (QWidget* control = find(d, step)) {
      QTest::mouseClick(control, Qt::LeftButton);
    } else {
      const QKeyCombination key = QKeySequence(QString::fromStdString(step))[0];
      QTest::keyClick(d.focusWidget(), key.key(), key.keyboardModifiers());
    }
  }
}

class DialogTest : public ::testing::Test {
 protected:
  test::ScriptedRunner runner;
  core::ProgramPaths paths;
  theme::ThemeColours colours{"Mono Dark", theme::find_theme("Mono Dark")->values()};
  test::TempSettings settings;
  Dialogs dialogs{runner, paths, colours};
};

// Kind 3 shows no icon; keys answer whatever the modifiers; a close never repeats the last answer.
TEST_F(DialogTest, MessageBoxShowsItsKindAndAnswers) {
  using enum core::BoxAnswer;
  const std::pair<int, std::string> icons[] = {
      {0, "img_ok"}, {4, "img_ask"}, {16, "img_err"}, {64, "img_info"}};
  // clang-format off
  const std::tuple<int, std::string, core::BoxAnswer> cases[] = {
      {0, "Command1", ok}, {0, "N", no}, {0, "close", ok}, {0, "Enter", ok}, {0, "Esc", ok},
      {4, "Command1", yes}, {4, "close", no}, {4, "Command2", no}, {4, "Return", yes}, {4, "Esc", no},
      {4, "Shift+N", no}, {4, "Ctrl+Y", yes}, {4, "Alt+Z", yes}, {16, "N", no}, {64, "Y", ok}, {3, "Command1", ok},
      {4, "Num+Enter", yes}};
  // clang-format on
  for (const auto& [kind, how, answer] : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << kind << ", " << how);
    const bool question = kind == 4;
    runner.then([&](QDialog& d) {
      for (const auto& [k, icon] : icons) EXPECT_EQ(child(d, icon).isVisible(), k == kind) << icon;
      auto& b = child<QPushButton>(d, "Command1");
      const QPalette text = child(d, "txt_title").palette();
      EXPECT_EQ(
          std::tuple(b.text().toStdString(), child(d, "Command2").isVisible(), b.x(), d.focusWidget() == &b,
                     bool(d.windowFlags() & Qt::WindowCloseButtonHint), d.windowTitle().toStdString(),
                     text.color(QPalette::Base), text.color(QPalette::Text)),
          std::tuple(std::string(question ? "Yes" : "OK"), question, question ? 320 : 380, true, false,
                     "Caption", QColor(28, 28, 28), QColor(231, 231, 231)));
      act(d, how);
    });
    EXPECT_EQ(dialogs.message_box(nullptr, "Text", static_cast<core::BoxKind>(kind), "Caption"), answer);
  }
}

// A word wider than the line wraps where it must instead of widening the window.
TEST_F(DialogTest, MessageBoxGrowsByOneLineHeightPerLineKeepsItsWidthAndCentresOneLine) {
  const auto measure = [&](std::string_view text, bool centred) {
    std::pair<int, QSize> m;
    runner.then([&](QDialog& d) {
      EXPECT_EQ(child(d, "lab_title").geometry(), child(d, "txt_title").geometry());
      const Qt::Alignment expected = centred ? Qt::AlignHCenter : Qt::AlignLeft;
      EXPECT_TRUE(child<QLabel>(d, "lab_title").alignment() & expected) << text;
      EXPECT_TRUE(child<QTextEdit>(d, "txt_title").document()->defaultTextOption().alignment() & expected);
      m = {child(d, "txt_title").height(), d.size()};
      act(d, "Command1");
    });
    dialogs.message_box(nullptr, text, core::BoxKind::plain, "");
    return m;
  };
  const std::string words = "Several words that wrap at spaces within the width of the label, ";
  const auto [one, one_size] = measure("One line.", true);
  const auto [two, two_size] = measure(words + words, true);
  const auto [three, three_size] = measure("First\r\nsecond\r\nthird", false);
  const auto [word, word_size] = measure(std::string(90, 'W'), true);
  measure("Done.\r\n", false);
  const int line = two - one;
  ASSERT_GT(line, 0);
  EXPECT_EQ(one, line + 4);  // one line and 60 twips
  EXPECT_EQ(three, one + 2 * line);
  EXPECT_EQ(three_size - one_size, QSize(0, 2 * line));
  EXPECT_GE(word, one + line);
  EXPECT_EQ(word_size.width(), 441);
  EXPECT_EQ(runner.captions, std::vector<std::string>(5, "Tessaflex"));  // an empty caption is the title
}

// A click on the text copies it as shown and keeps the box; the text field passes its focus on.
TEST_F(DialogTest, MessageBoxClickOnTheTextCopiesItAsShown) {
  for (const std::string target : {"lab_title", "txt_title"}) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    runner.then([&](QDialog& d) {
      d.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
      auto* field = qobject_cast<QTextEdit*>(&child(d, target));
      QTest::mouseClick(field != nullptr ? field->viewport() : &child(d, target), Qt::LeftButton);
      EXPECT_EQ(d.focusWidget(), &child(d, "Command1"));
      act(d, "Command1");
    });
    dialogs.message_box(nullptr, "See /" + std::string(60, 'x') + "\r\n", core::BoxKind::question, "");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "See /\r\n" + std::string(60, 'x'))
        << target;
  }
}

// The typed text only after OK (or Enter); the default is wholly selected, so typing replaces it.
TEST_F(DialogTest, InputBoxReturnsTheTypedTextOnlyAfterOk) {
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"", "Command1", "5"}, {"12ms", "Command1", "12ms"}, {"7", "Return", "7"}, {"7", "Command2", ""},
      {"7", "Esc", ""},      {"\b", "Command1", ""},       {"7", "close", ""},   {"7", "Num+Enter", "7"}};
  for (const auto& [typed, how, reply] : cases) {
    runner.then([&](QDialog& d) {
      const QPalette field = child(d, "txt_input").palette();  // in the dark theme's value slots
      EXPECT_EQ(field.color(QPalette::Base).name() + field.color(QPalette::Text).name(), "#000000#ffffff");
      QTest::keyClicks(d.focusWidget(), typed);
      act(d, how);
    });
    EXPECT_EQ(dialogs.input_box(nullptr, "Time?", "Caption", "5"), reply) << typed << how;
  }
}

TEST_F(DialogTest, InputBoxWrappingPromptMovesFieldAndButtonsDownByOneLine) {
  const auto place = [&](std::string_view prompt, std::string_view caption) {
    std::tuple<int, int, QSize> p;
    runner.then([&](QDialog& d) {
      EXPECT_EQ(child<QLabel>(d, "lab_title").text().toStdString(), prompt);
      p = {child(d, "txt_input").y(), child(d, "Command1").y(), d.size()};
      act(d, "Command2");
    });
    dialogs.input_box(nullptr, prompt, caption, "");
    return p;
  };
  const auto [field, buttons, size] = place("Enter new programming time in ms [1-30].", "");
  const auto [field2, buttons2, size2] =
      place("Enter new programming time in ms [1-30], a whole number or one with a fraction.", "Own");
  const int line = field2 - field;
  EXPECT_GT(line, 0);
  EXPECT_EQ(buttons2 - buttons, line);
  EXPECT_EQ(size2 - size, QSize(0, line));
  place(std::string(90, 'w'), "Own");  // a word longer than the line is not broken
  EXPECT_EQ(runner.captions, (std::vector<std::string>{"Tessaflex", "Own", "Own"}));
}

class ModelPickerTest : public DialogTest {
 protected:
  // Models M1, M2, ... (Mi programs in i ms); the current one's time was then set by hand to 17.
  void pick(int count, int current, const test::ScriptedRunner::Action& action) {
    list = {};
    for (int i = 1; i <= count; ++i)
      list.device_list.push_back({"M" + std::to_string(i), "1024", "256", "", "", std::to_string(i), "", {}});
    list.model_count = count;
    device.model_index = current;
    devices::apply_selected_model(list, device);
    device.prog_time = 17;
    colours.values[theme::highlight_back] = theme::rgb(200, 0, 0);
    settings.store().save_setting("Microcontroller Model", "none");
    runner.then(action);
    dialogs.model_picker(nullptr, list, device, settings.store());
  }
  // Which of the entries 1..count are highlighted.
  static std::vector<int> highlighted(QDialog& d, int count) {
    std::vector<int> out;
    for (int i = 1; i <= count; ++i)
      if (child(d, opcija(i)).palette().color(QPalette::Window) == QColor(200, 0, 0)) out.push_back(i);
    return out;
  }
  std::string stored() const { return settings.store().get_setting("Microcontroller Model", ""); }

  devices::DeviceList list;
  devices::CurrentDevice device;
};

TEST_F(ModelPickerTest, ShowsTheFirstSeventyModelsInAFittedWindowAndHighlightsTheCurrentOne) {
  for (const auto& [count, shown, height, place] : {std::tuple{1, 1, 61, QRect(8, 8, 141, 17)},
                                                    {3, 3, 77, QRect(8, 24, 141, 17)},
                                                    {75, 70, 605, QRect(156, 552, 141, 17)}}) {
    pick(count, 1, [&](QDialog& d) {
      for (int i = 1; i <= 70; ++i) EXPECT_EQ(child(d, opcija(i)).isVisible(), i <= shown) << i;
      auto& last = child<QLabel>(d, opcija(shown));
      EXPECT_EQ(std::pair(last.text().toStdString(), last.geometry()),
                std::pair("M" + std::to_string(shown), place));
      EXPECT_EQ(std::pair(child(d, "Command1").y(), d.size()), std::pair(height - 29, QSize(305, height)));
      act(d, "Command2");
    });
  }
  pick(3, 2, [](QDialog& d) {
    EXPECT_EQ(child(d, opcija(3)).toolTip().toStdString(), "FLASH: 1024, EEPROM: 256");
    EXPECT_EQ(highlighted(d, 3), std::vector<int>{2});
    act(d, opcija(3));
    EXPECT_EQ(highlighted(d, 3), std::vector<int>{3});
    act(d, "Command2");
  });
  EXPECT_EQ(runner.captions.back(), "Select Microcontroller");
  // A model beyond the seventieth is highlighted nowhere and kept.
  pick(75, 72, [](QDialog& d) {
    EXPECT_EQ(highlighted(d, 70), std::vector<int>{});
    act(d, "Command1");
  });
  EXPECT_EQ(std::pair(device.model_index, stored()), std::pair(72, std::string("none")));
}

// Only a changed selection is stored and applied, else the time set by hand stays; Enter presses Select.
TEST_F(ModelPickerTest, StoresAndAppliesOnlyAChangedSelection) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"opcija(5) Return", 5, "5"},       {"opcija(5) opcija(2) Command1", 2, "none"},
      {"double opcija(5)", 5, "5"},       {"opcija(5) Command2", 2, "none"},
      {"opcija(5) Esc Command1", 5, "5"}, {"opcija(5) close", 2, "none"}};
  for (const auto& [steps, model_index, setting] : cases) {
    pick(5, 2, [&](QDialog& d) { act(d, steps); });
    EXPECT_EQ(std::tuple(device.model_index, stored(), device.prog_time),
              std::tuple(model_index, setting, model_index == 2 ? 17 : 5))
        << steps;
  }
}

class ThemePickerTest : public DialogTest {
 protected:
  // Each repaint of the main window records whether the picker was still up, and the theme.
  void open(const std::string& stored, const test::ScriptedRunner::Action& action) {
    settings.store().save_setting(core::setting::kColorTheme, stored);
    theme::load_theme(settings.store(), colours);
    runner.then(action);
    repaints.clear();
    dialogs.theme_picker(nullptr, settings.store(), colours, [this] {
      bool up = false;
      for (QWidget* w : QApplication::topLevelWidgets()) up |= w->objectName() == "Form34" && w->isVisible();
      repaints.emplace_back(up, colours.theme_name, colours.values);
    });
  }
  static QList<QLabel*> entries(QDialog& d) { return d.findChildren<QLabel*>(QRegularExpression("^opcija")); }
  void expect_painted(QDialog& d) {
    EXPECT_EQ(d.palette().color(QPalette::Window), theme::qt_colour(colours[theme::window_back]));
    for (QLabel* label : entries(d)) {
      const bool current = label->text().toStdString() == colours.theme_name;
      EXPECT_EQ(
          std::pair(label->palette().color(QPalette::Window), label->palette().color(QPalette::WindowText)),
          std::pair(theme::qt_colour(colours[current ? theme::highlight_back : theme::value_back]),
                    theme::qt_colour(colours[current ? theme::highlight_fore : theme::value_fore])));
    }
  }
  std::string setting() const { return settings.store().get_setting(core::setting::kColorTheme, "(none)"); }

  std::vector<std::tuple<bool, std::string, std::array<theme::Colour, theme::kSlots>>> repaints;
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
         {"Original Dark", 17, 0}, {"Owayke", 18, 0}, {"Winamp Old", 22, 1}})
      // clang-format on
      EXPECT_EQ(child(d, name).geometry(), QRect(8 + 148 * column, 8 + 20 * row, 141, 17)) << name;
    EXPECT_EQ(std::pair(child(d, "Command1").geometry(), d.size()),
              std::pair(QRect(228, 472, 69, 25), QSize(305, 501)));
    d.reject();
  });
  EXPECT_EQ(runner.captions, std::vector<std::string>{"Change Color Theme"});
}

// Closing saves, loads and repaints once more; all but Select restore the opening name and its
// colours where it names a theme. Enter presses Cancel, which has the focus.
TEST_F(ThemePickerTest, ClicksApplyAtOnceAndClosingSavesLoadsAndRepaints) {
  const std::vector<std::string> two = {"Amethyst", "Bloods"};
  const std::string lite = "Original Lite";
  // opened, clicks, how it closes, the name kept, the theme whose colours are loaded
  // clang-format off
  const std::tuple<std::string, std::vector<std::string>, std::string, std::string, std::string> flows[] = {
      {lite, two, "Command1", "Bloods", "Bloods"}, {"Mono Dark", {}, "Command1", "Mono Dark", "Mono Dark"},
      {lite, two, "Command2", lite, lite}, {lite, two, "Esc", lite, lite}, {lite, two, "close", lite, lite},
      {lite, two, "Return", lite, lite}, {"mono dark", {}, "Command2", "mono dark", lite},  // no highlight
      {"Nope", {"Citrus"}, "Command2", "Nope", lite}, {"", {"Citrus"}, "Command2", "", "Citrus"}};
  // clang-format on
  for (const auto& [opened, clicks, close, kept, kept_colours] : flows) {
    SCOPED_TRACE("opened \"" + opened + "\", closed by " + close);
    open(opened, [&](QDialog& d) {
      expect_painted(d);
      EXPECT_EQ(d.focusWidget(), &child(d, "Command2"));
      for (std::size_t i = 0; i < clicks.size(); ++i) {
        act(d, clicks[i]);
        EXPECT_EQ(setting(), clicks[i]);
        ASSERT_EQ(repaints.size(), i + 1);
        EXPECT_EQ(repaints.back(), std::tuple(true, clicks[i], theme::find_theme(clicks[i])->values()));
        expect_painted(d);
      }
      act(d, close);
      EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(setting(), kept);
    ASSERT_EQ(repaints.size(), clicks.size() + 1);
    EXPECT_EQ(repaints.back(), std::tuple(false, kept, theme::find_theme(kept_colours)->values()));
    EXPECT_EQ(std::pair(colours.theme_name, colours.values), std::pair(kept, std::get<2>(repaints.back())));
  }
}

}  // namespace
}  // namespace tessaflex::ui
