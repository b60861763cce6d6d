// Long words of message box texts: where they break, and what is never touched.
#include "ui/dialogs/break_long_words.h"

#include <gtest/gtest.h>

namespace tessaflex::ui {
namespace {

std::string a(std::size_t n) { return std::string(n, 'a'); }

TEST(BreakLongWords, AtTheLastBackslashElseUnderscoreOfTheFirst55Characters) {
  std::string path;  // 130 characters, a folder separator every tenth
  while (path.size() < 130) path += path.size() % 10 == 9 ? '\\' : 'a';
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {a(29) + "\\" + a(25), a(29) + "\\" + a(25)},  // 55 characters: whole
      {a(29) + "\\" + a(26), a(29) + "\\\r\n" + a(26)},
      {a(9) + "\\" + a(46) + "\\" + a(3), a(9) + "\\\r\n" + a(46) + "\\" + a(3)},
      {a(39) + "_" + a(20), a(39) + "_\r\n" + a(20)},
      {a(55) + "\\" + a(4), a(55) + "\\" + a(4)},  // only a backslash at 56: whole
      {path, path.substr(0, 50) + "\r\n" + path.substr(50)},  // broken once
      {"\\" + a(60), "\\\r\n" + a(60)},
      {"x " + a(29) + "\\" + a(26) + "\r\n" + a(39) + "_" + a(20),
       "x " + a(29) + "\\\r\n" + a(26) + "\r\n" + a(39) + "_\r\n" + a(20)},
      {a(20) + "\n" + a(19) + "\\" + a(20), a(20) + "\n" + a(19) + "\\\r\n" + a(20)},
       // a lone LF is in its word
      {"x\r\n\r\n", "x\r\n"},  // one trailing line end dropped
      {" a  b \r\n\r\nc", " a  b \r\n\r\nc"}, {"", ""}};
  // clang-format on
  for (const auto& [text, shown] : cases) EXPECT_EQ(break_long_words(text), shown) << text;
}

}  // namespace
}  // namespace tessaflex::ui
