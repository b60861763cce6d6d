// A programmer that takes every report at no cost, for measuring what the host spends.
#pragma once

#include <cstdint>

#include "link/hid_terminal.h"

namespace tessaflex::sim {

// Always connected; every write is counted and succeeds at once, every read answers FF.
class NullProgrammer : public link::HidTerminal {
 public:
  void terminal_vendor_id(std::int32_t) override {}
  void terminal_product_id(std::int32_t) override {}
  void terminal_connect() override {}
  bool terminal_connected() const override { return true; }
  bool terminal_write(const link::Report&) override {
    ++reports;
    return true;
  }
  bool terminal_read(link::Report& report) override {
    report[1] = 0xFF;
    return true;
  }
  std::int64_t reports = 0;
};

}  // namespace tessaflex::sim
