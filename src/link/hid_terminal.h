// The abstract USB HID terminal that carries 8-byte reports to and from the programmer.
#pragma once

#include <array>
#include <cstdint>

namespace tessaflex::link {

// One report as the programmer sees it: byte 0 is the code, bytes 1..7 the arguments
// or, after a read, the answer.
using Report = std::array<std::uint8_t, 8>;

// The programmer's HID connection. Production uses hidapi; tests use the virtual
// programmer. All calls happen on the program's one thread.
class HidTerminal {
 public:
  virtual ~HidTerminal() = default;

  // The IDs the next terminal_connect looks for (0..65535).
  virtual void terminal_vendor_id(std::int32_t vendor_id) = 0;
  virtual void terminal_product_id(std::int32_t product_id) = 0;
  // Looks for the device with those IDs and opens it when present.
  virtual void terminal_connect() = 0;
  // True while the device is found and open; false again once a write or read has
  // found it gone.
  virtual bool terminal_connected() const = 0;
  // Sends the eight bytes, byte 0 first, as one output report. False when nothing went out.
  virtual bool terminal_write(const Report& report) = 0;
  // Fills the eight bytes from one input report. False when no report came (a time-out
  // or a lost device); the bytes are then left as they were.
  virtual bool terminal_read(Report& report) = 0;
  // True when the last terminal_connect found a device with the IDs but could not open it
  // (on Linux: no access to its hidraw node, the udev rule is missing). A terminal that
  // cannot tell the two apart keeps this default.
  virtual bool terminal_found_but_not_opened() const { return false; }
};

}  // namespace tessaflex::link
