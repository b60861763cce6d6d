// The engine tests' rig: a small model, and a window and a programmer that write one ordered trace.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/hex_text.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "link/report_layer.h"

namespace tessaflex::engine::testing {

using Strings = std::vector<std::string>;
using Kind = devices::AlgorithmKind;
inline constexpr const char* kHeader = "Memory Location,   Read Value,   Expected,\r\n";

// "a|b|c" as {"a", "b", "c"}, and "" as {}: how tables write a trace.
inline Strings split(std::string_view text) {
  Strings out;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t bar = std::min(text.find('|', start), text.size());
    out.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return out;
}

// A report as the trace shows it; an unknown code throws, failing the test.
inline std::string describe(const link::Report& r) {
  if (r[0] == 107) return "cmd " + core::byte_to_hex(r[1]);
  if (r[0] == 108) return "word " + core::word_to_hex(r[1] + 256 * r[2]);
  if (r[0] == 111) return "progtime " + core::byte_to_hex(r[1]);
  static const std::map<int, std::string> names = {{0, "begin0"}, {101, "begin1"},    {102, "begin2"},
                                                   {103, "end"},  {109, "startprog"}, {110, "read"}};
  return names.at(r[0]);
}

// The engine's window and programmer, both writing one trace. The model: FLASH 1024 bytes with
// 3C 12 at 1A0h, EEPROM 64 bytes, page 64, configerased(i) = 10h + i.
class EngineTest : public ::testing::Test, public link::HidTerminal, public core::Host {
 public:
  EngineTest() {
    auto& device = workspace.current_device;
    for (std::size_t i = 0; i < device.configerased.size(); ++i) device.configerased[i] = 0x10 + int(i);
    device.voltage_seq = 1, device.prog_time = 5, device.page_size = 64;
    resize(1024, 64);
    flash()[0x1A0] = 0x3C, flash()[0x1A1] = 0x12;
  }

  void terminal_vendor_id(std::int32_t) override {}
  void terminal_product_id(std::int32_t) override {}
  void terminal_connect() override { connected = true; }
  bool terminal_connected() const override { return connected; }
  bool terminal_write(const link::Report& report) override {
    if (writes_before_loss-- == 0) connected = false;
    if (!connected || writes_taken == 0) return false;
    if (writes_taken > 0) --writes_taken;
    trace.push_back(sent.emplace_back(describe(report)));
    if (on_write) on_write();
    return true;
  }
  bool terminal_read(link::Report& report) override {
    if (!connected || no_answer) return false;
    report.fill(0);
    report[1] = answers.empty() ? default_answer : answers.front();
    if (!answers.empty()) answers.pop_front();
    return true;
  }

  void set_status(std::string_view text) override { trace.push_back(status.assign(text)); }
  void process_events() override { trace.emplace_back("events"); }
  void disable() override { trace.emplace_back("disable"); }
  void enable() override { trace.emplace_back("enable"); }
  void updatedisplay() override { trace.emplace_back("redraw"); }
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override {
    trace.push_back("box " + std::to_string(static_cast<int>(kind)) + " '" + std::string(caption) + "' ");
    trace.back() += text;
    return core::BoxAnswer::ok;
  }
  void sleep_ms(std::int64_t ms) override {
    trace.push_back("sleep " + std::to_string(ms));
    now += static_cast<double>(ms) / 1000.0;
  }
  double clock_seconds() override { return now; }
  void end_program() override { trace.emplace_back("end program"); }

  void resize(std::int32_t flash_size, std::int32_t eeprom_size) {
    workspace.current_device.flash_size = flash_size, workspace.current_device.eeprom_size = eeprom_size;
    devices::erase_images(workspace.current_device, workspace.memory_images);
  }
  void set_algorithm(Kind kind, std::string_view text) {
    workspace.current_device.instructions[static_cast<std::size_t>(kind)] = devices::split_statements(text);
  }
  // Runs text without a run's frame until pc passes its end, a halt, or max_calls calls.
  void run_script(std::string_view text, int max_calls = 100000) {
    run().script = devices::split_statements(text);
    run().script.insert(run().script.begin(), "");
    run().script_count = static_cast<std::int32_t>(run().script.size()) - 1, run().pc = 1;
    engine.clear_halt();
    for (int i = 0; i < max_calls && run().pc <= run().script_count && engine.halt() == Halt::none; ++i)
      engine.execute_symbolic_instruction();
  }

  RunState& run() { return engine.run_state(); }
  std::vector<std::uint8_t>& flash() { return workspace.memory_images.flash_image; }
  std::vector<std::uint8_t>& eeprom() { return workspace.memory_images.eeprom_image; }
  const std::string& report() { return engine.mismatch_state().mismatch_report; }
  std::int64_t count(std::string_view entry) const { return std::count(trace.begin(), trace.end(), entry); }

  Strings trace;
  Strings sent;  // the reports alone
  bool connected = true;
  int writes_before_loss = -1;  // writes that go out before the programmer is lost; -1: never
  int writes_taken = -1;        // writes taken before the rest are refused (still connected)
  bool no_answer = false;
  std::deque<std::uint8_t> answers;
  std::uint8_t default_answer = 0;
  std::function<void()> on_write;
  std::string status;  // the last one
  double now = 0;
  devices::Workspace workspace;
  link::ReportLayer reports{*this};
  Engine engine{workspace, reports, *this, *this, "Tessaflex"};
};

}  // namespace tessaflex::engine::testing
