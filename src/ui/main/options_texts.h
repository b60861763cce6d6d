// What the Options and Help menus compute: the typed programming time and the About text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::ui {

inline constexpr std::string_view kProgTimePrompt = "Enter new programming time in ms [1-30].";
inline constexpr std::string_view kWrongEntry = "Wrong entry!";

// What a reply to the programming-time prompt does.
struct ProgTimeReply {
  enum class Outcome { unchanged, wrong, accepted };
  Outcome outcome = Outcome::unchanged;
  std::int32_t milliseconds = 0;  // when accepted
};

// An empty reply changes nothing. Otherwise the leading number of the reply must lie in
// 1..30, tested before it is rounded (half to even), so 30.4 is wrong and 29.5 gives 30.
ProgTimeReply read_programming_time(std::string_view reply);

// The About text, each of its eight lines followed by CR LF.
std::string about_text(std::string_view program_title);

}  // namespace tessaflex::ui
