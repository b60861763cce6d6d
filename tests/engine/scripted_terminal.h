// A HID terminal for engine tests: records reports, answers reads from a queue, fails on cue.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/hex_text.h"
#include "link/hid_terminal.h"

namespace tessaflex::engine::testing {

class ScriptedTerminal : public link::HidTerminal {
 public:
  void terminal_vendor_id(std::int32_t) override {}
  void terminal_product_id(std::int32_t) override {}
  void terminal_connect() override { connected = true; }
  bool terminal_connected() const override { return connected; }

  bool terminal_write(const link::Report& report) override {
    if (!connected || writes_before_disconnect == 0) {
      connected = false;
      return false;
    }
    if (writes_before_disconnect > 0) --writes_before_disconnect;
    if (refuse_writes) return false;
    reports.push_back(report);
    if (on_write) on_write(report);
    return true;
  }

  bool terminal_read(link::Report& report) override {
    if (!connected || no_answer) return false;
    report.fill(0);
    if (!answers.empty()) {
      report[1] = answers.front();
      answers.pop_front();
    } else {
      report[1] = default_answer;
    }
    return true;
  }

  bool connected = true;
  // Writes that still go out before the device is lost; negative: never lost.
  int writes_before_disconnect = -1;
  bool refuse_writes = false;  // writes fail while the device stays connected
  bool no_answer = false;      // reads return nothing
  std::deque<std::uint8_t> answers;
  std::uint8_t default_answer = 0;
  std::vector<link::Report> reports;
  std::function<void(const link::Report&)> on_write;
};

// A report as a short text: "begin1", "begin2", "begin0", "end", "cmd 0D", "word 123C",
// "read", "startprog", "progtime 05".
inline std::string describe(const link::Report& r) {
  switch (r[0]) {
    case 0:
      return "begin0";
    case 101:
      return "begin1";
    case 102:
      return "begin2";
    case 103:
      return "end";
    case 107:
      return "cmd " + core::byte_to_hex(r[1]);
    case 108:
      return "word " + core::word_to_hex(r[1] + 256 * r[2]);
    case 109:
      return "startprog";
    case 110:
      return "read";
    case 111:
      return "progtime " + core::byte_to_hex(r[1]);
    default:
      return "code " + std::to_string(r[0]);
  }
}

inline std::vector<std::string> describe(const std::vector<link::Report>& reports) {
  std::vector<std::string> out;
  out.reserve(reports.size());
  for (const link::Report& r : reports) out.push_back(describe(r));
  return out;
}

}  // namespace tessaflex::engine::testing
