// What the real main window adds as the engine's host: time per report in Program All and
// Read All of a 64 KB model, one redraw, and one wheel step to its redraw. Run it on the
// offscreen platform and under a virtual X server (xvfb-run) to see what painting costs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>

#include "support/null_programmer.h"
#include "support/window_world.h"

namespace {

using tessaflex::testing::NullProgrammer;
using tessaflex::testing::WindowWorld;

// A 64 KB part: every FLASH byte programmed, so Program All writes the whole memory.
struct BenchWorld {
  BenchWorld() {
    world.start();
    auto& flash = world.workspace.memory_images.flash_image;
    for (std::size_t a = 0; a < flash.size(); ++a) flash[a] = static_cast<std::uint8_t>(a * 7 + 3);
  }
  NullProgrammer terminal;
  WindowWorld world{"18F4620", "PIC18F4620", &terminal};
};

// Host time per report: the run's time over the reports it sent.
void run_with_window(benchmark::State& state, void (tessaflex::engine::Engine::*run)()) {
  BenchWorld bench;
  std::int64_t reports = 0;
  for (auto _ : state) {
    const std::int64_t before = bench.terminal.reports;
    (bench.world.engine.*run)();
    reports = bench.terminal.reports - before;
    if (bench.world.engine.halt() != tessaflex::engine::Halt::none) {
      state.SkipWithError(bench.world.engine.stop_text().c_str());
      break;
    }
  }
  state.counters["reports"] = static_cast<double>(reports);
  state.counters["per_report"] =
      benchmark::Counter(static_cast<double>(reports),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(bench.world.status());
}

void BM_ProgramAll_Window(benchmark::State& state) {
  run_with_window(state, &tessaflex::engine::Engine::program_all);
}

void BM_ReadAll_Window(benchmark::State& state) {
  run_with_window(state, &tessaflex::engine::Engine::read_all);
}

void BM_UpdateDisplay(benchmark::State& state) {
  BenchWorld bench;
  for (auto _ : state) bench.world.window.updatedisplay();
}

// Alternating toward and away from the user, so every step moves the table and redraws it.
void BM_WheelStep(benchmark::State& state) {
  BenchWorld bench;
  std::int32_t rotation = -120;
  for (auto _ : state) {
    bench.world.window.MouseWheel(0, rotation, 0, 0);
    rotation = -rotation;
  }
}

}  // namespace

BENCHMARK(BM_ProgramAll_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAll_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateDisplay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WheelStep)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
