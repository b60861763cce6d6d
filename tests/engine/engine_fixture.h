// A small model, a recording host and a scripted terminal wired to one engine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "link/report_layer.h"
#include "scripted_terminal.h"
#include "support/recording_host.h"

namespace tessaflex::engine::testing {

// Members are public so that table rows can arrange a case on the fixture.
class EngineTest : public ::testing::Test {
 public:
  EngineTest() {
    auto& device = workspace.current_device;
    device.model_index = 1;
    device.model_name = "TEST";
    device.flash_size = 1024;
    device.eeprom_size = 64;
    for (std::size_t i = 0; i < device.configerased.size(); ++i) {
      device.configerased[i] = static_cast<std::int32_t>(0x10 + i);
    }
    device.voltage_seq = 1;
    device.prog_time = 5;
    device.page_size = 64;
    devices::erase_images(device, workspace.memory_images);
  }

  // Makes text (comma-separated, as in the device list) the statement list of kind.
  void set_algorithm(devices::AlgorithmKind kind, std::string_view text) {
    workspace.current_device.instructions[static_cast<std::size_t>(kind)] = devices::split_statements(text);
  }

  // Loads statements as the script and sets pc to 1, as a run does, without a run frame.
  void load(const std::vector<std::string>& statements) {
    auto& run = engine.run_state();
    run.script.assign(1, std::string());
    run.script.insert(run.script.end(), statements.begin(), statements.end());
    run.script_count = static_cast<std::int32_t>(statements.size());
    run.pc = 1;
    engine.clear_halt();
  }

  // Runs the loaded script to its end (or a halt), at most max_calls statements.
  void run_loaded(int max_calls = 100000) {
    auto& run = engine.run_state();
    for (int i = 0; i < max_calls && run.pc <= run.script_count && engine.halt() == Halt::none; ++i) {
      engine.execute_symbolic_instruction();
    }
  }

  std::vector<std::string> sent() const { return describe(terminal.reports); }

  std::vector<std::uint8_t>& flash() { return workspace.memory_images.flash_image; }
  std::vector<std::uint8_t>& eeprom() { return workspace.memory_images.eeprom_image; }

  devices::Workspace workspace;
  tessaflex::testing::RecordingHost host;
  ScriptedTerminal terminal;
  link::ReportLayer reports{terminal};
  Engine engine{workspace, reports, terminal, host, "Tessaflex"};
};

}  // namespace tessaflex::engine::testing
