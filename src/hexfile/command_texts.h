// Pure text helpers of the Open and Save commands: the label path, the k figure, the split
// of a chosen path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::hexfile {

// A path longer than 70 characters as "... " and its last 70 characters; a shorter one
// unchanged. Characters are UTF-8 code points, so a name is never cut inside a character.
std::string shorten_path(std::string_view path);

// The k figure of n bytes: n / 1024 as a decimal number with up to 15 significant digits,
// no "0" before the point of a value below 1, no trailing zeros, no point for a whole
// number, cut (not rounded) to its first 4 characters. 512 gives ".5", 1234 gives "1.20",
// 32768 gives "32". Below 0.1 (n from 1 to 102) the same plain form is used, never an
// exponent: 1 gives ".000", 102 gives ".099".
std::string k_figure(std::int64_t n);

// "Operation completed. Total " n " (" k "K) program bytes loaded."
std::string loaded_status_text(std::int64_t n);

// A chosen full path split after its last folder separator ("/"; on Windows "\" too):
// the folder, ending in the separator ("" when there is none), and the bare file name.
struct ChosenPath {
  std::string folder;
  std::string name;
};
ChosenPath split_chosen_path(std::string_view path);

}  // namespace tessaflex::hexfile
