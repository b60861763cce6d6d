// Breaking words too long for one line of the message box at a folder or word separator.
#pragma once

#include <string>
#include <string_view>

namespace tessaflex::ui {

// Words longer than this many characters are broken.
inline constexpr std::size_t kLongWord = 55;

// Where a long word breaks, in order of preference: after the last of these at a position up
// to kLongWord. A Linux path breaks between folders at "/", a Windows path at "\"; a name
// without either at "_".
inline constexpr char kBreakAfter[] = {'/', '\\', '_'};

// The text as the message box shows and copies it. One trailing CR LF is dropped. Every
// word (lines split at CR LF, words at each single space) longer than kLongWord is broken
// once, after the first of kBreakAfter that it holds within its first kLongWord characters, by
// inserting CR LF; the rest of the word is left whole however long it is.
// Everything else, runs of spaces and empty lines included, comes back unchanged.
// Lengths count the text's bytes.
std::string break_long_words(std::string_view text);

}  // namespace tessaflex::ui
