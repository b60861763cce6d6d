// The virtual programmer with its clock following real time, so self-timed work ends while a host waits.
#pragma once

#include <chrono>

#include "sim/virtual_programmer.h"

namespace tessaflex::sim {

class RealTimeProgrammer final : public VirtualProgrammer {
 public:
  using VirtualProgrammer::VirtualProgrammer;
  bool terminal_write(const link::Report& report) override {
    const auto whole =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - last_);
    advance_ms(whole.count());
    last_ += whole;  // the fraction left waits for the next report
    return VirtualProgrammer::terminal_write(report);
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

}  // namespace tessaflex::sim
