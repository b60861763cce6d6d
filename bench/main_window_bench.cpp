// What the real main window adds as the engine's host: time per report in Program All and
// Read All of a 64 KB model, one redraw, and one wheel step to its redraw. Run it on the
// offscreen platform and under a virtual X server (xvfb-run) to see what painting costs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <chrono>

#include "app/program.h"
#include "core/setting_names.h"
#include "sim/null_programmer.h"

namespace {

using tessaflex::sim::NullProgrammer;

// The program on a 64 KB part: every FLASH byte programmed, so Program All writes the whole memory.
struct BenchWorld {
  BenchWorld() {
    program.settings().save_setting(
        tessaflex::core::setting::kModel,
        std::to_string(tessaflex::devices::model_number(program.device_list(), "PIC18F4620")));
    program.start();
    auto& flash = program.workspace().memory_images.flash_image;
    for (std::size_t a = 0; a < flash.size(); ++a) flash[a] = static_cast<std::uint8_t>(a * 7 + 3);
  }
  QTemporaryDir settings_dir;
  NullProgrammer terminal;
  tessaflex::ui::ExecRunner runner;
  tessaflex::app::Program program{
      tessaflex::core::ProgramPaths{},
      tessaflex::core::SettingsStore((settings_dir.path() + "/Tessaflex.ini").toStdString()),
      tessaflex::devices::load_device_list(TESSAFLEX_DEVICE_LIST).list, terminal, runner};
};

// Host time per report: the run's time over the reports it sent.
void run_with_window(benchmark::State& state, void (tessaflex::engine::Engine::*run)()) {
  BenchWorld bench;
  std::int64_t reports = 0;
  for (auto _ : state) {
    const std::int64_t before = bench.terminal.reports;
    (bench.program.engine().*run)();
    reports = bench.terminal.reports - before;
    if (bench.program.engine().halt() != tessaflex::engine::Halt::none) {
      state.SkipWithError(bench.program.engine().stop_text().c_str());
      break;
    }
  }
  state.counters["reports"] = static_cast<double>(reports);
  state.counters["per_report"] =
      benchmark::Counter(static_cast<double>(reports),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(bench.program.window().findChild<QLabel*>("label_status")->text().toStdString());
}

void BM_ProgramAll_Window(benchmark::State& state) {
  run_with_window(state, &tessaflex::engine::Engine::program_all);
}

void BM_ReadAll_Window(benchmark::State& state) {
  run_with_window(state, &tessaflex::engine::Engine::read_all);
}

void BM_UpdateDisplay(benchmark::State& state) {
  BenchWorld bench;
  for (auto _ : state) bench.program.window().updatedisplay();
}

// Alternating toward and away from the user, so every step moves the table and redraws it.
void BM_WheelStep(benchmark::State& state) {
  BenchWorld bench;
  std::int32_t rotation = -120;
  for (auto _ : state) {
    bench.program.window().MouseWheel(0, rotation, 0, 0);
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
