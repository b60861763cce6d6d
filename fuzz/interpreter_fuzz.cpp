// libFuzzer target: chip operation runs of a fuzzed model on the virtual programmer, with its
// faults and a host whose clock moves. Runs must keep the images' sizes, turn the window off
// and on once each, and leave the target powered down when a run stops.
//
// Input: eight setting bytes, then a device list text (the shipped list seeds it):
//   0  which model of the list (its statement lists, erased values, order, times, page size)
//   1  FLASH size, 128 + 16 * (b % 32) bytes, and 2 the EEPROM size, 0 or 64 + 8 * (b % 16):
//      small, so that a whole-memory run stays cheap
//   3  how many image bytes are loaded with data (FLASH 8 * b, EEPROM b)
//   4  bit 0 WR never clears, bit 1 no read is answered, bit 2 no programmer at all
//   5  the programmer drops off after 37 * b reports (0: never)
//   6  this many reads go unanswered (b % 8)
//   7  the runs: 1 + (b / 32) % 5 of them, in the order program, verify, read, blank
//      check, erase, starting at b % 5
// The language lets a script loop for ever (a loop head whose body moves nothing), which the
// program accepts. So before each run a twin of the world replays the earlier runs and steps
// this one's statements up to a cap; a run that would pass the cap ends the input unrun.
// (A script without a "loop" statement always ends, and needs no twin.)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "core/host.h"
#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "engine/mismatch_report.h"
#include "link/report_layer.h"
#include "sim/chip_devices.h"
#include "sim/virtual_programmer.h"

namespace {

namespace core = tessaflex::core;
namespace devices = tessaflex::devices;
namespace engine = tessaflex::engine;
using tessaflex::sim::ChipDevice;
using tessaflex::sim::VirtualProgrammer;

constexpr std::size_t kSettings = 8;
constexpr int kRunKinds = 5;
// Far above what a whole-memory run of the sizes above needs.
constexpr std::int64_t kStatementCap = 20000;

void require(bool condition) {
  if (!condition) __builtin_trap();
}

// Counts what the invariants need; its clock moves on every read and every sleep.
class FuzzHost : public core::Host {
 public:
  void set_status(std::string_view) override {}
  void process_events() override {}
  void disable() override { ++disables; }
  void enable() override { ++enables; }
  void updatedisplay() override {}
  core::BoxAnswer message_box(std::string_view, core::BoxKind, std::string_view) override {
    return core::BoxAnswer::ok;
  }
  void sleep_ms(std::int64_t milliseconds) override {
    now_ += static_cast<double>(milliseconds) / 1000.0;
    if (on_sleep) on_sleep(milliseconds);
  }
  double clock_seconds() override { return now_ += 0.0005; }
  void end_program() override { ended = true; }

  int disables = 0;
  int enables = 0;
  bool ended = false;
  std::function<void(std::int64_t)> on_sleep;

 private:
  double now_ = 0;
};

struct Setup {
  const devices::DeviceList* list;
  std::uint8_t settings[kSettings];
};

// Everything one run touches, built the same way from the same setup every time.
struct World {
  explicit World(const Setup& setup)
      : programmer(chip_for(setup)),
        reports(programmer),
        engine(workspace, reports, programmer, host, "Tessaflex") {
    const std::uint8_t* s = setup.settings;
    devices::CurrentDevice& device = workspace.current_device;
    device.model_index = 1 + s[0] % setup.list->model_count;
    devices::apply_selected_model(*setup.list, device);
    device.flash_size = 128 + 16 * (s[1] % 32);
    device.eeprom_size = s[2] % 3 == 0 ? 0 : 64 + 8 * (s[2] % 16);
    devices::erase_images(device, workspace.memory_images);
    auto& flash = workspace.memory_images.flash_image;
    for (std::size_t a = 0; a < flash.size() && a < 8u * s[3]; ++a)
      flash[a] = static_cast<std::uint8_t>(a * 7);
    auto& eeprom = workspace.memory_images.eeprom_image;
    for (std::size_t a = 0; a < eeprom.size() && a < s[3]; ++a) eeprom[a] = static_cast<std::uint8_t>(a + 1);

    host.on_sleep = programmer.sleep_hook();
    programmer.set_wr_stuck((s[4] & 1) != 0);
    programmer.set_reads_unanswered((s[4] & 2) != 0);
    programmer.set_present((s[4] & 4) == 0);
    if (s[5] != 0) programmer.disconnect_after(37 * s[5]);
    programmer.drop_reads(s[6] % 8);
    programmer.connect();
  }

  static const ChipDevice& chip_for(const Setup& setup) {
    const devices::DeviceList& list = *setup.list;
    const auto& model = list.device_list[static_cast<std::size_t>(1 + setup.settings[0] % list.model_count)];
    const ChipDevice* chip = tessaflex::sim::find_chip_device(model.model);
    const auto& all = tessaflex::sim::chip_devices();
    return chip != nullptr ? *chip : all[setup.settings[0] % all.size()];
  }

  devices::Workspace workspace;
  VirtualProgrammer programmer;
  tessaflex::link::ReportLayer reports;
  FuzzHost host;
  engine::Engine engine;
};

struct RunKind {
  void (engine::Engine::*run)();
  devices::AlgorithmKind statements;
  bool checks;        // clears the mismatch report first
  bool reads_images;  // erases the images first
};

constexpr RunKind kRuns[kRunKinds] = {
    {&engine::Engine::program_all, devices::AlgorithmKind::program, false, false},
    {&engine::Engine::verify_chip, devices::AlgorithmKind::verify, true, false},
    {&engine::Engine::read_all, devices::AlgorithmKind::read, false, true},
    {&engine::Engine::blank_check, devices::AlgorithmKind::blankcheck, true, false},
    {&engine::Engine::erase_all, devices::AlgorithmKind::erase, false, false},
};

// Whether the run's script can jump back: without a "loop" statement pc only moves forward
// (waitwr's polls and the mismatch cut-off are bounded), so the run ends by itself.
bool can_loop(const World& world, const RunKind& kind) {
  const devices::StatementList& statements = world.workspace.current_device.statements(kind.statements);
  return std::find(statements.begin(), statements.end(), "loop") != statements.end();
}

// Steps the run's statements in world as the run would, up to the cap. True when the run
// ends within it (or does not start).
bool ends_within_cap(World& world, const RunKind& kind) {
  if (!world.programmer.terminal_connected()) return true;
  // What the run does before its first statement, in its order (the clock read included).
  world.engine.load_script(kind.statements);
  world.host.clock_seconds();
  if (kind.checks) engine::clear_mismatch_report(world.engine.mismatch_state());
  if (kind.reads_images) devices::erase_images(world.workspace.current_device, world.workspace.memory_images);
  const engine::RunState& run = world.engine.run_state();
  for (std::int64_t steps = 0; run.pc <= run.script_count && world.engine.halt() == engine::Halt::none;
       ++steps) {
    if (steps == kStatementCap) return false;
    world.engine.execute_symbolic_instruction();
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Setup setup{};
  for (std::size_t i = 0; i < kSettings && i < size; ++i) setup.settings[i] = data[i];
  const std::size_t skip = size < kSettings ? size : kSettings;
  const devices::DeviceList list =
      devices::parse_device_list(std::string_view(reinterpret_cast<const char*>(data) + skip, size - skip));
  if (list.model_count == 0) return 0;  // the program would not start
  setup.list = &list;

  const int runs = 1 + (setup.settings[7] / 32) % kRunKinds;
  const auto kind_of = [&setup](int n) -> const RunKind& {
    return kRuns[(setup.settings[7] + n) % kRunKinds];
  };
  World world(setup);
  const std::size_t flash_size = world.workspace.memory_images.flash_image.size();
  const std::size_t eeprom_size = world.workspace.memory_images.eeprom_image.size();

  for (int n = 0; n < runs; ++n) {
    if (can_loop(world, kind_of(n))) {
      const auto twin = std::make_unique<World>(setup);
      for (int earlier = 0; earlier < n; ++earlier) (twin->engine.*kind_of(earlier).run)();
      if (!ends_within_cap(*twin, kind_of(n))) return 0;
    }
    const bool started = world.programmer.terminal_connected();
    const int disables = world.host.disables;
    const int enables = world.host.enables;
    (world.engine.*kind_of(n).run)();

    require(world.workspace.memory_images.flash_image.size() == flash_size);
    require(world.workspace.memory_images.eeprom_image.size() == eeprom_size);
    if (!started) {
      require(world.host.disables == disables && world.host.enables == enables);
      continue;
    }
    require(world.host.disables == disables + 1);
    if (world.engine.halt() == engine::Halt::program_end) {
      // An unrecognized statement ends the program: the window is never turned on again.
      require(world.host.ended && world.host.enables == enables);
      return 0;
    }
    require(world.host.enables == enables + 1);
    if (world.engine.halt() == engine::Halt::stopped && world.programmer.terminal_connected()) {
      require(!world.programmer.powered());
    }
  }
  return 0;
}
