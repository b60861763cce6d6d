// What the message box and the input box pass between their callers and their windows.
#pragma once

#include <string>

#include "core/host.h"

namespace tessaflex::ui {

// Owned by the dialogs' owner and kept as long as the program runs; each field keeps its
// last value between boxes.
struct DialogExchange {
  std::string box_text;   // the message of the message box, or the prompt of the input box
  std::string box_input;  // the input box's default text on the way in, the reply on the way out
  core::BoxKind box_kind = core::BoxKind::plain;
  core::BoxAnswer box_result = core::BoxAnswer::ok;
};

}  // namespace tessaflex::ui
