// The programmer's HID terminal on hidapi (hidraw backend): one 8-byte report per write or read.
#pragma once

#include <cstdint>
#include <string>

#include "link/hid_terminal.h"

struct hid_device_;

namespace tessaflex::link {

// Opens the programmer by vendor and product ID through hidraw. The device uses no
// numbered reports, so every write is prefixed by report ID 0, the byte hidapi needs.
// Reads wait at most kReadTimeoutMs. A failed write or read that finds the device no
// longer enumerated closes it: terminal_connected turns false, and that is how a run
// learns that the link is gone.
class HidapiTerminal : public HidTerminal {
 public:
  // The firmware answers a read in the USB frame after the request (1 ms on a full-speed
  // interrupt endpoint, a few ms at a slower polling interval), but the request may queue
  // behind a programming NOP that keeps the firmware busy for P9 (up to 255 ms) + P10.
  // 500 ms covers that with margin, and still lets a dead link end a run quickly.
  static constexpr int kReadTimeoutMs = 500;

  HidapiTerminal();
  ~HidapiTerminal() override;
  HidapiTerminal(const HidapiTerminal&) = delete;
  HidapiTerminal& operator=(const HidapiTerminal&) = delete;

  void terminal_vendor_id(std::int32_t vendor_id) override { vendor_id_ = vendor_id; }
  void terminal_product_id(std::int32_t product_id) override { product_id_ = product_id; }
  // Closes any open device, then opens the first interface that enumerates with the two
  // IDs. IDs outside 0..65535 find nothing.
  void terminal_connect() override;
  bool terminal_connected() const override { return device_ != nullptr; }
  // Drains input reports that nobody read (an answer that came after its read timed out),
  // then sends the eight bytes as one output report. False when not connected or when
  // the write failed.
  bool terminal_write(const Report& report) override;
  // Waits up to kReadTimeoutMs for one input report of at least eight bytes. False on a
  // time-out, a short report or a failure; the bytes are then left as they were.
  bool terminal_read(Report& report) override;
  bool terminal_found_but_not_opened() const override { return found_but_not_opened_; }

 private:
  void close();
  // After a failed write or read: closes the device when it no longer enumerates.
  void check_presence();
  bool drain();

  hid_device_* device_ = nullptr;
  std::string path_;
  std::int32_t vendor_id_ = 0;
  std::int32_t product_id_ = 0;
  bool found_but_not_opened_ = false;
};

}  // namespace tessaflex::link
