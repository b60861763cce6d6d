// A message box that the HEX reader or the file commands want shown: its text and kind.
#pragma once

#include <string>

#include "core/host.h"

namespace tessaflex::hexfile {

// Shown by the caller through core::Host::message_box with an empty caption (the program
// title), in the order in which they are returned.
struct HexMessage {
  std::string text;
  core::BoxKind kind = core::BoxKind::plain;

  friend bool operator==(const HexMessage&, const HexMessage&) = default;
};

}  // namespace tessaflex::hexfile
