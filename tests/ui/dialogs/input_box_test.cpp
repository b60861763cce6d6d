// The input box as the user meets it: the default, OK, Cancel, keys and a wrapping prompt.
#include <gtest/gtest.h>

#include <QLabel>
#include <tuple>

#include "dialog_test_support.h"
#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "ui/dialogs/dialogs.h"

namespace tessaflex::ui {
namespace {

class InputBoxTest : public ::testing::Test {
 protected:
  testing::ScriptedRunner runner;
  core::ProgramPaths paths;
  theme::ThemeColours colours;
  Dialogs dialogs{runner, paths, colours};
};

enum class Close { ok, cancel, enter, esc, other };

struct Reply {
  const char* name;
  const char* typed;  // typed into the field first, or nullptr
  Close close;
  std::string reply;
};

class InputBoxReply : public InputBoxTest, public ::testing::WithParamInterface<Reply> {};

TEST_P(InputBoxReply, ReturnsTheTypedTextOnlyAfterOk) {
  const Reply& r = GetParam();
  runner.then([&](QDialog& d) {
    if (r.typed != nullptr) type(d, r.typed);
    switch (r.close) {
      case Close::ok:
        return click(d, "Command1");
      case Close::cancel:
        return click(d, "Command2");
      case Close::enter:
        return press(d, Qt::Key_Return);
      case Close::esc:
        return press(d, Qt::Key_Escape);
      case Close::other:
        d.close();
    }
  });
  EXPECT_EQ(dialogs.input_box(nullptr, "Time?", "Caption", "5"), r.reply);
}

// The default is wholly selected, so typing replaces it.
INSTANTIATE_TEST_SUITE_P(Closes, InputBoxReply,
                         ::testing::Values(Reply{"OkKeepsTheDefault", nullptr, Close::ok, "5"},
                                           Reply{"TypingReplacesTheDefault", "12ms", Close::ok, "12ms"},
                                           Reply{"EnterPressesOk", "7", Close::enter, "7"},
                                           Reply{"CancelAfterTyping", "7", Close::cancel, ""},
                                           Reply{"EscCancels", "7", Close::esc, ""},
                                           Reply{"OkOnAnEmptiedField", "\b", Close::ok, ""},
                                           Reply{"ClosedOtherwise", "7", Close::other, ""}),
                         [](const auto& row) { return std::string(row.param.name); });

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
  // A word longer than the line is not broken.
  place(std::string(90, 'w'), "Own");
  EXPECT_EQ(runner.captions, (std::vector<std::string>{"Tessaflex", "Own", "Own"}));
}

}  // namespace
}  // namespace tessaflex::ui
