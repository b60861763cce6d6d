// The dialogs' pure arithmetic: box layouts and where the long words of a message break.
#include "ui/dialogs/dialog_layout.h"

#include <gtest/gtest.h>

#include "ui/dialogs/break_long_words.h"

namespace tessaflex::ui {
namespace {

// Heights in twips; 1.5 times 105 and 525 end in a half, which goes to the even neighbour.
TEST(DialogLayout, FitsTheText) {
  struct Case {
    int text_height;
    float scale;
    int label_height, field_top, buttons_top, client_height;  // field_top: input box only
  };
  for (const Case& c : {Case{255, 1.0f, 315, 0, 540, 915}, Case{225, 1.5f, 315, 0, 593, 968}}) {
    for (const bool question : {false, true}) {
      const auto layout = message_box_layout(c.text_height, question, c.scale);
      EXPECT_EQ(layout.text, (TwipsRect{900, 120, 5655, c.label_height}));
      EXPECT_EQ(layout.command1, (TwipsRect{question ? 4800 : 5700, c.buttons_top, 855, 315}));
      EXPECT_EQ(layout.command2, (TwipsRect{question ? 5700 : 4800, c.buttons_top, 855, 315}));
      EXPECT_EQ(std::pair(layout.client_width, layout.client_height), std::pair(6615, c.client_height));
    }
  }
  for (const Case& c : {Case{255, 1.0f, 315, 540, 960, 1335}, Case{225, 1.5f, 315, 593, 1223, 1598}}) {
    const auto layout = input_box_layout(c.text_height, c.scale);
    EXPECT_EQ(layout.prompt, (TwipsRect{120, 120, 4455, c.label_height}));
    EXPECT_EQ(layout.field, (TwipsRect{180, c.field_top, 4335, 315}));
    EXPECT_EQ(layout.command1, (TwipsRect{3660, c.buttons_top, 855, 315}));
    EXPECT_EQ(layout.command2, (TwipsRect{2760, c.buttons_top, 855, 315}));
    EXPECT_EQ(std::pair(layout.client_width, layout.client_height), std::pair(4695, c.client_height));
  }
}

std::string a(std::size_t n) { return std::string(n, 'a'); }

TEST(BreakLongWords, AtTheLastSlashElseBackslashElseUnderscoreOfTheFirst55Characters) {
  std::string path, windows_path;  // 130 characters, a folder separator every tenth
  while (path.size() < 130) path += path.size() % 10 == 9 ? '/' : 'a';
  while (windows_path.size() < 130) windows_path += windows_path.size() % 10 == 9 ? '\\' : 'a';
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {a(29) + "/" + a(25), a(29) + "/" + a(25)},  // 55 characters: whole
      {a(29) + "/" + a(10) + "_" + a(15), a(29) + "/\r\n" + a(10) + "_" + a(15)},  // not in a name
      {a(9) + "\\" + a(29) + "_" + a(20), a(9) + "\\\r\n" + a(29) + "_" + a(20)},
      {a(9) + "/" + a(29) + "\\" + a(20), a(9) + "/\r\n" + a(29) + "\\" + a(20)},  // "/" first
      {a(55) + "/" + a(4), a(55) + "/" + a(4)},  // only a separator at 56: whole
      {path, path.substr(0, 50) + "\r\n" + path.substr(50)},  // broken once
      {windows_path, windows_path.substr(0, 50) + "\r\n" + windows_path.substr(50)},
      {"/" + a(60), "/\r\n" + a(60)},
      {"x " + a(20) + "\n" + a(8) + "/" + a(26) + "\r\n" + a(39) + "_" + a(20),  // a lone LF is in its word
       "x " + a(20) + "\n" + a(8) + "/\r\n" + a(26) + "\r\n" + a(39) + "_\r\n" + a(20)},
      {" a  b \r\n\r\nc\r\n\r\n", " a  b \r\n\r\nc\r\n"},  // one trailing line end dropped
      {"", ""}};
  // clang-format on
  for (const auto& [text, shown] : cases) EXPECT_EQ(break_long_words(text), shown) << text;
}

}  // namespace
}  // namespace tessaflex::ui
