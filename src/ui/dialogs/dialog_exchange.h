// What the message box and the input box pass between their callers and their windows.
#pragma once

#include <cstdint>
#include <string>

namespace tessaflex::ui {

// Owned by the dialogs' owner and kept as long as the program runs; each field keeps its
// last value between boxes.
struct DialogExchange {
  std::string box_text;   // the message of the message box, or the prompt of the input box
  std::string box_input;  // the input box's default text on the way in, the reply on the way out
  std::int32_t box_kind = 0;
  std::int32_t box_result = 0;  // the message box's answer: 1 OK, 6 Yes, 7 No
};

}  // namespace tessaflex::ui
