// A terminal in front of the virtual programmer whose simulated clock follows real time.
#pragma once

#include <chrono>

#include "link/hid_terminal.h"
#include "sim/virtual_programmer.h"

namespace tessaflex::testing {

// For hosts that really wait (the main window, the real program): before each report the
// programmer's clock moves on by the real time since the last one, so a chip that erases
// or writes on its own finishes while the host waits, as on silicon.
class RealTimeTerminal final : public link::HidTerminal {
 public:
  explicit RealTimeTerminal(sim::VirtualProgrammer& programmer) : programmer_(programmer) {}

  void terminal_vendor_id(std::int32_t id) override { programmer_.terminal_vendor_id(id); }
  void terminal_product_id(std::int32_t id) override { programmer_.terminal_product_id(id); }
  void terminal_connect() override { programmer_.terminal_connect(); }
  bool terminal_connected() const override { return programmer_.terminal_connected(); }
  bool terminal_write(const link::Report& report) override {
    catch_up();
    return programmer_.terminal_write(report);
  }
  bool terminal_read(link::Report& report) override { return programmer_.terminal_read(report); }
  bool terminal_found_but_not_opened() const override { return programmer_.terminal_found_but_not_opened(); }

 private:
  void catch_up() {
    const auto whole =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - last_);
    programmer_.advance_ms(whole.count());
    last_ += whole;  // the fraction left waits for the next report
  }

  sim::VirtualProgrammer& programmer_;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

}  // namespace tessaflex::testing
