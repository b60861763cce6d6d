// Breaking words too long for one line of the message box at a folder or word separator.
#include "ui/dialogs/break_long_words.h"

namespace tessaflex::ui {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void append_word(std::string& out, std::string_view word) {
  if (word.size() > kLongWord) {
    const std::string_view head = word.substr(0, kLongWord);
    for (const char separator : kBreakAfter) {
      const std::size_t at = head.rfind(separator);
      if (at == std::string_view::npos) continue;
      out += word.substr(0, at + 1);
      out += kLineEnd;
      out += word.substr(at + 1);
      return;
    }
  }
  out += word;
}

}  // namespace

std::string break_long_words(std::string_view text) {
  if (text.ends_with(kLineEnd)) text.remove_suffix(kLineEnd.size());
  std::string out;
  out.reserve(text.size() + 2 * kLineEnd.size());
  // Splitting and joining again with the same separators keeps every separator; only
  // the words themselves can change.
  std::size_t line_start = 0;
  for (;;) {
    const std::size_t line_end = text.find(kLineEnd, line_start);
    const std::string_view line = text.substr(line_start, line_end - line_start);
    std::size_t word_start = 0;
    for (;;) {
      const std::size_t word_end = line.find(' ', word_start);
      append_word(out, line.substr(word_start, word_end - word_start));
      if (word_end == std::string_view::npos) break;
      out += ' ';
      word_start = word_end + 1;
    }
    if (line_end == std::string_view::npos) break;
    out += kLineEnd;
    line_start = line_end + kLineEnd.size();
  }
  return out;
}

}  // namespace tessaflex::ui
