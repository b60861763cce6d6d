// Host time the engine spends per statement and per report in Program All and Read All.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "link/hid_terminal.h"
#include "link/report_layer.h"
#include "sim/null_programmer.h"
#include "sim/virtual_programmer.h"

namespace {

using tessaflex::core::BoxAnswer;
using tessaflex::core::BoxKind;
using tessaflex::sim::NullProgrammer;

// A window that only keeps the status text: everything else costs nothing.
class StatusOnlyHost : public tessaflex::core::Host {
 public:
  void set_status(std::string_view text) override { status.assign(text); }
  void process_events() override {}
  void disable() override {}
  void enable() override {}
  void updatedisplay() override {}
  BoxAnswer message_box(std::string_view, BoxKind, std::string_view) override { return BoxAnswer::ok; }
  void sleep_ms(std::int64_t) override {}
  double clock_seconds() override { return 0.0; }
  void end_program() override {}
  std::string status;
};

// 18F452: FLASH written a row of 8 bytes at a time (single-panel mode), read back byte by
// byte with post-incrementing table reads.
constexpr std::string_view kProgram =
    "begin,setprogtime,s00-8ea6,s00-8ca6,s00-84a6,s00-0e3c,s00-6ef8,s00-0e00,s00-6ef7,s00-0e06,"
    "s00-6ef6,s0c-0000,s00-8ea6,s00-9ca6,setflashloop,movlw-upper,s00-6ef8,movlw-high,s00-6ef7,"
    "movlw-low,s00-6ef6,s0d-flash,s0d-flash,s0d-flash,s0f-flash,startprog,loop,end";
constexpr std::string_view kRead =
    "begin,movlw-upper,s00-6ef8,movlw-high,s00-6ef7,movlw-low,s00-6ef6,setflashloop,flash=s09,loop,end";

tessaflex::devices::Workspace make_workspace() {
  tessaflex::devices::Workspace workspace;
  auto& device = workspace.current_device;
  device.model_index = 1;
  device.model_name = "PIC18F452";
  device.flash_size = 32768;
  device.eeprom_size = 256;
  device.configerased = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  device.voltage_seq = 1;
  device.prog_time = 1;
  device.page_size = 8;
  using Kind = tessaflex::devices::AlgorithmKind;
  device.instructions[static_cast<std::size_t>(Kind::program)] =
      tessaflex::devices::split_statements(kProgram);
  device.instructions[static_cast<std::size_t>(Kind::read)] = tessaflex::devices::split_statements(kRead);
  tessaflex::devices::erase_images(device, workspace.memory_images);
  for (std::size_t a = 0; a < workspace.memory_images.flash_image.size(); ++a) {
    workspace.memory_images.flash_image[a] = static_cast<std::uint8_t>(a * 7 + 3);
  }
  return workspace;
}

struct RunCounts {
  std::int64_t statements = 0;
  std::int64_t reports = 0;
};

// Steps through the script of kind once, untimed, as a run would, to count its statements
// and the reports they send.
RunCounts count_run(tessaflex::engine::Engine& engine, tessaflex::devices::AlgorithmKind kind,
                    const std::function<std::int64_t()>& report_count) {
  engine.load_script(kind);
  const auto& run = engine.run_state();
  RunCounts counts;
  const std::int64_t before = report_count();
  while (run.pc <= run.script_count && engine.halt() == tessaflex::engine::Halt::none) {
    engine.execute_symbolic_instruction();
    ++counts.statements;
  }
  counts.reports = report_count() - before;
  return counts;
}

// Time per item: the run's time divided by items, printed in seconds with an SI prefix.
benchmark::Counter time_per(std::int64_t items) {
  return benchmark::Counter(static_cast<double>(items),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void run_benchmark(benchmark::State& state, tessaflex::link::HidTerminal& terminal,
                   tessaflex::devices::AlgorithmKind kind, void (tessaflex::engine::Engine::*run)(),
                   const std::function<std::int64_t()>& report_count,
                   const std::function<void()>& between_runs) {
  tessaflex::devices::Workspace workspace = make_workspace();
  StatusOnlyHost host;
  tessaflex::link::ReportLayer layer(terminal);
  tessaflex::engine::Engine engine(workspace, layer, terminal, host, "Tessaflex");
  const RunCounts counts = count_run(engine, kind, report_count);
  for (auto _ : state) {
    (engine.*run)();
    if (engine.halt() != tessaflex::engine::Halt::none) {
      state.SkipWithError(engine.stop_text().c_str());
      break;
    }
    state.PauseTiming();
    between_runs();
    state.ResumeTiming();
  }
  state.counters["statements"] = static_cast<double>(counts.statements);
  state.counters["reports"] = static_cast<double>(counts.reports);
  state.counters["per_statement"] = time_per(counts.statements);
  state.counters["per_report"] = time_per(counts.reports);
  state.SetLabel(host.status);
}

using Kind = tessaflex::devices::AlgorithmKind;
using tessaflex::engine::Engine;

std::int64_t all_reports(const tessaflex::sim::VirtualProgrammer& programmer) {
  std::int64_t n = 0;
  for (int code = 0; code < 256; ++code) n += programmer.count(static_cast<std::uint8_t>(code));
  return n;
}

void BM_ProgramAll_Engine(benchmark::State& state) {
  NullProgrammer terminal;
  run_benchmark(
      state, terminal, Kind::program, &Engine::program_all, [&] { return terminal.reports; }, [] {});
}

void BM_ReadAll_Engine(benchmark::State& state) {
  NullProgrammer terminal;
  run_benchmark(
      state, terminal, Kind::read, &Engine::read_all, [&] { return terminal.reports; }, [] {});
}

void BM_ProgramAll_VirtualProgrammer(benchmark::State& state) {
  tessaflex::sim::VirtualProgrammer terminal("18F452");
  terminal.connect();
  run_benchmark(
      state, terminal, Kind::program, &Engine::program_all, [&] { return all_reports(terminal); },
      [&] { terminal.clear_log(); });
}

void BM_ReadAll_VirtualProgrammer(benchmark::State& state) {
  tessaflex::sim::VirtualProgrammer terminal("18F452");
  terminal.connect();
  run_benchmark(
      state, terminal, Kind::read, &Engine::read_all, [&] { return all_reports(terminal); },
      [&] { terminal.clear_log(); });
}

}  // namespace

BENCHMARK(BM_ProgramAll_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAll_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramAll_VirtualProgrammer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAll_VirtualProgrammer)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
