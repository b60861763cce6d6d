// ASCII-only case changes: keywords, statements and hex fields are compared this way,
// whatever the locale, and bytes above 127 pass through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace tessaflex::core {

inline char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

inline std::string ascii_upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ascii_upper(c);
  return out;
}

}  // namespace tessaflex::core
