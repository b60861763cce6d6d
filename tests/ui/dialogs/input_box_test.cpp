// The input box as the user meets it: the default, OK, Cancel, keys and a wrapping prompt.
#include <gtest/gtest.h>

#include <QLabel>

#include "dialog_test_support.h"

namespace tessaflex::ui {
namespace {

using InputBoxTest = DialogTest;

// The typed text only after OK (or Enter); the default is wholly selected, so typing replaces it.
TEST_F(InputBoxTest, ReturnsTheTypedTextOnlyAfterOk) {
  const auto ok = [](QDialog& d) { click(d, "Command1"); };
  const std::tuple<const char*, std::function<void(QDialog&)>, std::string> cases[] = {
      {nullptr, ok, "5"},
      {"12ms", ok, "12ms"},
      {"7", [](QDialog& d) { press(d, Qt::Key_Return); }, "7"},
      {"7", [](QDialog& d) { click(d, "Command2"); }, ""},
      {"7", [](QDialog& d) { press(d, Qt::Key_Escape); }, ""},
      {"\b", ok, ""},
      {"7", [](QDialog& d) { d.close(); }, ""}};
  for (const auto& [typed, close, reply] : cases) {
    runner.then([&](QDialog& d) {
      if (typed != nullptr) QTest::keyClicks(d.focusWidget(), typed);
      close(d);
    });
    EXPECT_EQ(dialogs.input_box(nullptr, "Time?", "Caption", "5"), reply) << (typed ? typed : "");
  }
}

TEST_F(InputBoxTest, WrappingPromptMovesFieldAndButtonsDownByOneLine) {
  const auto place = [&](std::string_view prompt, std::string_view caption) {
    std::tuple<int, int, QSize> p;
    runner.then([&](QDialog& d) {
      EXPECT_EQ(child<QLabel>(d, "lab_title").text().toStdString(), prompt);
      p = {child(d, "txt_input").y(), child(d, "Command1").y(), d.size()};
      click(d, "Command2");
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

}  // namespace
}  // namespace tessaflex::ui
