// Connecting to the programmer with the vendor and product ID from the settings.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/host.h"
#include "core/settings_store.h"
#include "link/hid_terminal.h"

namespace tessaflex::link {

// The status texts of a connect attempt.
inline constexpr std::string_view kBadHardwareInfo = "Bad hardware info!";
inline constexpr std::string_view kHardwareConnected = "Hardware connected!";
inline constexpr std::string_view kHardwareNotFound = "Hardware not found!";
// The programmer enumerates but cannot be opened: on Linux the user lacks access to its
// hidraw node, which the udev rule grants.
inline constexpr std::string_view kHardwareNotOpened =
    "Hardware found but could not be opened! Install the udev rule 70-tessaflex.rules.";

// Owns the vendor and product ID of the last connect attempt and points the terminal at
// the programmer. All calls happen on the program's one thread.
class ProgrammerConnection {
 public:
  ProgrammerConnection(const core::SettingsStore& settings, HidTerminal& terminal, core::Host& host)
      : settings_(settings), terminal_(terminal), host_(host) {}

  // Reads both ID settings (a missing one is written with 0x2345) before testing either.
  // An ID outside 0..65535 shows kBadHardwareInfo and leaves the terminal alone; otherwise
  // the terminal gets both IDs and connects, and the status line shows the outcome:
  // connected, found but not openable, or not found.
  void connect_hardware();

  // The "Connect" button: connects only when the terminal is not connected; otherwise
  // nothing happens, not even a status text.
  void connect_command();

  // The IDs read by the last connect_hardware (bad values kept as read; 0 before).
  std::int32_t vendor_id() const { return vendor_id_; }
  std::int32_t product_id() const { return product_id_; }

 private:
  const core::SettingsStore& settings_;
  HidTerminal& terminal_;
  core::Host& host_;
  std::int32_t vendor_id_ = 0;
  std::int32_t product_id_ = 0;
};

}  // namespace tessaflex::link
