// The message box as the user meets it: icons, buttons, answers, keys, layout, clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <functional>

#include "dialog_test_support.h"
#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "ui/dialogs/dialogs.h"

namespace tessaflex::ui {
namespace {

using core::BoxAnswer;

class MessageBoxTest : public ::testing::Test {
 protected:
  // Shows one box and answers it with act, which may look at it first.
  BoxAnswer show(std::string_view text, int kind, const std::function<void(QDialog&)>& act,
                 std::string_view caption = "Caption") {
    runner.then(act);
    return dialogs.message_box(nullptr, text, static_cast<core::BoxKind>(kind), caption);
  }

  testing::ScriptedRunner runner;
  core::ProgramPaths paths;
  theme::ThemeColours colours;
  Dialogs dialogs{runner, paths, colours};
};

void ok(QDialog& d) { click(d, "Command1"); }

struct Answer {
  const char* name;
  int kind;
  const char* icon;    // the one icon shown, "" for none
  const char* button;  // the button clicked, or nullptr to press key
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  BoxAnswer answer;
};

class MessageBoxAnswer : public MessageBoxTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(MessageBoxAnswer, ShowsTheKindAndAnswersByButtonOrKey) {
  const Answer& a = GetParam();
  const bool question = a.kind == 4;
  EXPECT_EQ(show("Text", a.kind,
                 [&](QDialog& d) {
                   for (const char* icon : {"img_ok", "img_ask", "img_err", "img_info"}) {
                     EXPECT_EQ(child(d, icon).isVisible(), std::string(icon) == a.icon) << icon;
                   }
                   auto& yes_or_ok = child<QPushButton>(d, "Command1");
                   EXPECT_EQ(yes_or_ok.text(), question ? "Yes" : "OK");
                   EXPECT_EQ(child(d, "Command2").isVisible(), question);
                   EXPECT_EQ(d.focusWidget(), &yes_or_ok);
                   // "Yes" stands where "No" was designed; "No", or "OK", at the right.
                   EXPECT_EQ(yes_or_ok.x(), question ? 320 : 380);
                   EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
                   if (a.button != nullptr) {
                     click(d, a.button);
                   } else {
                     press(d, a.key, a.modifiers);
                   }
                 }),
            a.answer);
}

constexpr auto kNone = Qt::NoModifier;
INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageBoxAnswer,
    ::testing::Values(
        Answer{"PlainOk", 0, "img_ok", "Command1", {}, kNone, BoxAnswer::ok},
        Answer{"PlainN", 0, "img_ok", nullptr, Qt::Key_N, kNone, BoxAnswer::no},
        Answer{"PlainAltZ", 0, "img_ok", nullptr, Qt::Key_Z, Qt::AltModifier, BoxAnswer::ok},
        Answer{"PlainEnter", 0, "img_ok", nullptr, Qt::Key_Enter, kNone, BoxAnswer::ok},
        Answer{"PlainEsc", 0, "img_ok", nullptr, Qt::Key_Escape, kNone, BoxAnswer::ok},
        Answer{"QuestionYes", 4, "img_ask", "Command1", {}, kNone, BoxAnswer::yes},
        Answer{"QuestionNo", 4, "img_ask", "Command2", {}, kNone, BoxAnswer::no},
        Answer{"QuestionEnter", 4, "img_ask", nullptr, Qt::Key_Return, kNone, BoxAnswer::yes},
        Answer{"QuestionEsc", 4, "img_ask", nullptr, Qt::Key_Escape, kNone, BoxAnswer::no},
        Answer{"QuestionShiftN", 4, "img_ask", nullptr, Qt::Key_N, Qt::ShiftModifier, BoxAnswer::no},
        Answer{"QuestionCtrlY", 4, "img_ask", nullptr, Qt::Key_Y, Qt::ControlModifier, BoxAnswer::yes},
        Answer{"QuestionZ", 4, "img_ask", nullptr, Qt::Key_Z, kNone, BoxAnswer::yes},
        Answer{"ErrorOk", 16, "img_err", "Command1", {}, kNone, BoxAnswer::ok},
        Answer{"ErrorN", 16, "img_err", nullptr, Qt::Key_N, kNone, BoxAnswer::no},
        Answer{"InfoY", 64, "img_info", nullptr, Qt::Key_Y, kNone, BoxAnswer::ok},
        Answer{"OtherKindOk", 3, "", "Command1", {}, kNone, BoxAnswer::ok}),
    [](const auto& row) { return std::string(row.param.name); });

// A box closed by the window system must not hand back the box before's answer.
TEST_F(MessageBoxTest, ClosedOtherwiseAnswersNoToAQuestionAndOkElse) {
  const auto close = [](QDialog& d) { d.close(); };
  ASSERT_EQ(show("Overwrite?", 4, ok, ""), BoxAnswer::yes);
  EXPECT_EQ(show("Overwrite?", 4, close), BoxAnswer::no);
  ASSERT_EQ(show("Note", 0, [](QDialog& d) { press(d, Qt::Key_N); }), BoxAnswer::no);
  EXPECT_EQ(show("Note", 0, close), BoxAnswer::ok);
  // An empty caption is the program's title.
  EXPECT_EQ(runner.captions, (std::vector<std::string>{"Tessaflex", "Caption", "Caption", "Caption"}));
}

// The buttons' places for each height are the layout's; the measure of the lines is the
// window's own.
TEST_F(MessageBoxTest, GrowsByOneLineHeightPerLineAndKeepsItsWidth) {
  const auto measure = [&](std::string_view text) {
    std::pair<int, QSize> m;
    show(text, 0, [&](QDialog& d) {
      EXPECT_EQ(child(d, "lab_title").geometry(), child(d, "txt_title").geometry());
      m = {child(d, "txt_title").height(), d.size()};
      ok(d);
    });
    return m;
  };
  const std::string words = "Several words that wrap at spaces within the width of the label, ";
  const auto [one, one_size] = measure("One line.");
  const auto [two, two_size] = measure(words + words);
  const auto [three, three_size] = measure("First\r\nsecond\r\nthird");
  // A word wider than the line wraps where it must instead of widening the window.
  const auto [word, word_size] = measure(std::string(90, 'W'));
  const int line = two - one;
  ASSERT_GT(line, 0);
  EXPECT_EQ(one, line + 4);  // one line and 60 twips
  EXPECT_EQ(three, one + 2 * line);
  EXPECT_EQ(three_size - one_size, QSize(0, 2 * line));
  EXPECT_GE(word, one + line);
  EXPECT_EQ(word_size.width(), 441);
}

TEST_F(MessageBoxTest, CentresOnlyATextWithoutLineEnds) {
  const std::pair<std::string, bool> texts[] = {{"Done.", true},
                                                {"Done.\r\n", false},
                                                {"Done.\r\nNext.", false},
                                                {std::string(50, 'a') + "\\" + "bbbbbbbbbb", true}};
  for (const auto& [text, centred] : texts) {
    show(text, 0, [&](QDialog& d) {
      const Qt::Alignment expected = centred ? Qt::AlignHCenter : Qt::AlignLeft;
      EXPECT_TRUE(child<QLabel>(d, "lab_title").alignment() & expected) << text;
      EXPECT_TRUE(child<QTextEdit>(d, "txt_title").document()->defaultTextOption().alignment() & expected);
      ok(d);
    });
  }
}

TEST_F(MessageBoxTest, ClickOnTheTextCopiesItAsShown) {
  const std::string text = "See C:\\" + std::string(60, 'x') + "\r\n";
  for (const char* target : {"lab_title", "txt_title"}) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    show(text, 16, [&](QDialog& d) {
      auto* field = qobject_cast<QTextEdit*>(&child(d, target));
      QTest::mouseClick(field != nullptr ? field->viewport() : &child(d, target), Qt::LeftButton);
      EXPECT_TRUE(d.isVisible()) << target;
      ok(d);
    });
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "See C:\\\r\n" + std::string(60, 'x'))
        << target;
  }
}

TEST_F(MessageBoxTest, TextFieldPassesItsFocusOn) {
  show("Text", 4, [](QDialog& d) {
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    QTest::mouseClick(child<QTextEdit>(d, "txt_title").viewport(), Qt::LeftButton);
    EXPECT_EQ(d.focusWidget(), &child(d, "Command1"));
    ok(d);
  });
}

}  // namespace
}  // namespace tessaflex::ui
