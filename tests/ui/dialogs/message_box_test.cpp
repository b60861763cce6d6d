// The message box as the user meets it: icons, buttons, answers, keys, layout, clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <functional>

#include "dialog_test_support.h"

namespace tessaflex::ui {
namespace {

using core::BoxAnswer;

class MessageBoxTest : public DialogTest {
 protected:
  // Shows one box and answers it with act, which may look at it first.
  BoxAnswer show(std::string_view text, int kind, const std::function<void(QDialog&)>& act,
                 std::string_view caption = "Caption") {
    runner.then(act);
    return dialogs.message_box(nullptr, text, static_cast<core::BoxKind>(kind), caption);
  }
};

void ok(QDialog& d) { click(d, "Command1"); }

// Each kind shows its one icon ("" for none); a question has Yes (where No was designed) and
// No, the rest OK alone at the right; the first button has the focus, the box no close button.
// Clicks and keys (whatever the modifiers) give the answers.
TEST_F(MessageBoxTest, ShowsTheKindAndAnswersByButtonOrKey) {
  // clang-format off
  const std::tuple<int, const char*, const char*, Qt::Key, Qt::KeyboardModifiers, BoxAnswer> cases[] = {
      {0, "img_ok", "Command1", {}, {}, BoxAnswer::ok}, {0, "img_ok", nullptr, Qt::Key_N, {}, BoxAnswer::no},
      {0, "img_ok", nullptr, Qt::Key_Z, Qt::AltModifier, BoxAnswer::ok},
      {0, "img_ok", nullptr, Qt::Key_Enter, {}, BoxAnswer::ok},
      {0, "img_ok", nullptr, Qt::Key_Escape, {}, BoxAnswer::ok},
      {4, "img_ask", "Command1", {}, {}, BoxAnswer::yes}, {4, "img_ask", "Command2", {}, {}, BoxAnswer::no},
      {4, "img_ask", nullptr, Qt::Key_Return, {}, BoxAnswer::yes},
      {4, "img_ask", nullptr, Qt::Key_Escape, {}, BoxAnswer::no},
      {4, "img_ask", nullptr, Qt::Key_N, Qt::ShiftModifier, BoxAnswer::no},
      {4, "img_ask", nullptr, Qt::Key_Y, Qt::ControlModifier, BoxAnswer::yes},
      {4, "img_ask", nullptr, Qt::Key_Z, {}, BoxAnswer::yes},
      {16, "img_err", nullptr, Qt::Key_N, {}, BoxAnswer::no},
      {64, "img_info", nullptr, Qt::Key_Y, {}, BoxAnswer::ok}, {3, "", "Command1", {}, {}, BoxAnswer::ok}};
  // clang-format on
  for (const auto& [kind, icon, button, key, modifiers, answer] : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "kind " << kind << " key " << key << " button " << (button ? button : "-"));
    const bool question = kind == 4;
    EXPECT_EQ(show("Text", kind,
                   [&](QDialog& d) {
                     for (const char* i : {"img_ok", "img_ask", "img_err", "img_info"})
                       EXPECT_EQ(child(d, i).isVisible(), std::string(i) == icon) << i;
                     auto& yes_or_ok = child<QPushButton>(d, "Command1");
                     EXPECT_EQ(yes_or_ok.text(), question ? "Yes" : "OK");
                     EXPECT_EQ(child(d, "Command2").isVisible(), question);
                     EXPECT_EQ(d.focusWidget(), &yes_or_ok);
                     EXPECT_EQ(yes_or_ok.x(), question ? 320 : 380);
                     EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
                     button != nullptr ? click(d, button) : press(d, key, modifiers);
                   }),
              answer);
  }
}

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
// window's own. A word wider than the line wraps where it must instead of widening the window.
// Only a text without line ends is centred.
TEST_F(MessageBoxTest, GrowsByOneLineHeightPerLineKeepsItsWidthAndCentresOneLine) {
  const auto measure = [&](std::string_view text, bool centred) {
    std::pair<int, QSize> m;
    show(text, 0, [&](QDialog& d) {
      EXPECT_EQ(child(d, "lab_title").geometry(), child(d, "txt_title").geometry());
      const Qt::Alignment expected = centred ? Qt::AlignHCenter : Qt::AlignLeft;
      EXPECT_TRUE(child<QLabel>(d, "lab_title").alignment() & expected) << text;
      EXPECT_TRUE(child<QTextEdit>(d, "txt_title").document()->defaultTextOption().alignment() & expected);
      m = {child(d, "txt_title").height(), d.size()};
      ok(d);
    });
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
}

// A click on the text copies it as shown and keeps the box; the text field passes its focus on.
TEST_F(MessageBoxTest, ClickOnTheTextCopiesItAsShown) {
  const std::string text = "See C:\\" + std::string(60, 'x') + "\r\n";
  for (const char* target : {"lab_title", "txt_title"}) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    show(text, 4, [&](QDialog& d) {
      d.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
      auto* field = qobject_cast<QTextEdit*>(&child(d, target));
      QTest::mouseClick(field != nullptr ? field->viewport() : &child(d, target), Qt::LeftButton);
      EXPECT_TRUE(d.isVisible()) << target;
      EXPECT_EQ(d.focusWidget(), &child(d, "Command1"));
      ok(d);
    });
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "See C:\\\r\n" + std::string(60, 'x'))
        << target;
  }
}

}  // namespace
}  // namespace tessaflex::ui
