// Long words of message box texts: where they break, and what is never touched.
#include "ui/dialogs/break_long_words.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaflex::ui {
namespace {

std::string a(std::size_t n) { return std::string(n, 'a'); }

// n characters, each a folder separator every tenth ("aaaaaaaaa\" repeated).
std::string path(std::size_t n) {
  std::string out;
  while (out.size() < n) out += out.size() % 10 == 9 ? '\\' : 'a';
  return out;
}

struct Case {
  const char* name;
  std::string text;
  std::string shown;
};

class BreakLongWords : public ::testing::TestWithParam<Case> {};

TEST_P(BreakLongWords, ShowsTheText) { EXPECT_EQ(break_long_words(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Words, BreakLongWords,
    ::testing::Values(
        Case{"Exactly55Whole", a(29) + "\\" + a(25), a(29) + "\\" + a(25)},
        Case{"Of56AfterBackslashAt30", a(29) + "\\" + a(26), a(29) + "\\\r\n" + a(26)},
        Case{"LastBackslashUpTo55", a(9) + "\\" + a(46) + "\\" + a(3), a(9) + "\\\r\n" + a(46) + "\\" + a(3)},
        Case{"UnderscoreWhenNoBackslash", a(39) + "_" + a(20), a(39) + "_\r\n" + a(20)},
        Case{"BackslashAt56OnlyStaysWhole", a(55) + "\\" + a(4), a(55) + "\\" + a(4)},
        Case{"LongPathBrokenOnce", path(130), path(50) + "\r\n" + path(130).substr(50)},
        Case{"LeadingBackslash", "\\" + a(60), "\\\r\n" + a(60)},
        Case{"WordsOfEveryLineAndBlank", "x " + a(29) + "\\" + a(26) + "\r\n" + a(39) + "_" + a(20),
             "x " + a(29) + "\\\r\n" + a(26) + "\r\n" + a(39) + "_\r\n" + a(20)},
        // A lone line feed is part of its word and counts in its length.
        Case{"LoneLineFeedDoesNotSplit", a(20) + "\n" + a(19) + "\\" + a(20),
             a(20) + "\n" + a(19) + "\\\r\n" + a(20)},
        Case{"OneTrailingLineEndDropped", "x\r\n\r\n", "x\r\n"},
        Case{"BlanksAndEmptyLinesKept", " a  b \r\n\r\nc", " a  b \r\n\r\nc"}, Case{"Empty", "", ""}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessaflex::ui
