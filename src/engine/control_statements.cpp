// Statements that power the target, set timing, compute loop bounds and steer pc.
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/decimal.h"
#include "devices/memory_images.h"
#include "engine/engine.h"

namespace tessaflex::engine {
namespace {

// The highest address below size holding a byte other than FF, or -1 when there is none.
// The scan starts at the model's size, and never above the image's own.
std::int32_t highest_programmed(const std::vector<std::uint8_t>& image, std::int32_t size) {
  const auto top = std::min<std::int64_t>(size, static_cast<std::int64_t>(image.size()));
  for (auto a = top - 1; a >= 0; --a) {
    if (image[static_cast<std::size_t>(a)] != devices::kErasedByte) return static_cast<std::int32_t>(a);
  }
  return -1;
}

}  // namespace

void Engine::begin(std::string_view, int) {
  if (!exchanged(reports_.hid_begin(workspace_.current_device.voltage_seq), "the power-up report")) {
    return;
  }
  ++run_.pc;
}

void Engine::end(std::string_view, int) {
  if (!exchanged(reports_.hid_end(), "the power-down report")) return;
  ++run_.pc;
}

void Engine::startprog(std::string_view, int) {
  if (!exchanged(reports_.hid_startprog(), "the start-programming report")) return;
  ++run_.pc;
}

void Engine::setprogtime(std::string_view, int) {
  const std::int32_t prog_time = workspace_.current_device.prog_time;
  if (prog_time < 0 || prog_time > 255) {
    stop("the programming time " + std::to_string(prog_time) +
         " ms does not fit a report (0..255 ms); nothing was sent.");
    return;
  }
  if (!exchanged(reports_.hid_setprogtime(prog_time), "the programming-time report")) return;
  ++run_.pc;
}

void Engine::calcflash(std::string_view, int) {
  run_.flash_last =
      highest_programmed(workspace_.memory_images.flash_image, workspace_.current_device.flash_size);
  ++run_.pc;
}

void Engine::calcflashpage(std::string_view, int) {
  const std::int32_t page_size = usable_page_size();
  if (page_size < 1) return;
  // The remainder takes the sign of a, so an image with nothing programmed (a = -1)
  // still gives one whole page.
  const std::int64_t a =
      highest_programmed(workspace_.memory_images.flash_image, workspace_.current_device.flash_size);
  run_.flash_last = static_cast<std::int32_t>(a - (a % page_size) + (page_size - 1));
  ++run_.pc;
}

void Engine::calceeprom(std::string_view, int) {
  run_.eeprom_last =
      highest_programmed(workspace_.memory_images.eeprom_image, workspace_.current_device.eeprom_size);
  ++run_.pc;
}

void Engine::setloop(std::string_view, int image) {
  run_.loop_start = run_.pc;
  run_.loop_end = image == kFlashLoop ? run_.flash_last : run_.eeprom_last;
  if (run_.counter <= run_.loop_end) {
    ++run_.pc;
    return;
  }
  run_.counter = 0;
  skip_past("loop");
}

void Engine::loop(std::string_view, int) {
  // A "loop" standing at the loop head index an earlier run left would jump to itself
  // for ever, sending nothing and letting no event run: the program would hang.
  if (run_.loop_start == run_.pc) {
    stop("it jumps back to itself (no loop head ran at this index).");
    return;
  }
  run_.pc = run_.loop_start;
}

void Engine::ifpage(std::string_view, int) {
  const std::int32_t page_size = usable_page_size();
  if (page_size < 1) return;
  if (run_.counter % page_size == 0 && run_.counter > 0) {
    ++run_.pc;
    return;
  }
  skip_past("endifpage");
}

void Engine::endifpage(std::string_view, int) { ++run_.pc; }

void Engine::wait(std::string_view s, int) {
  const double number = core::text_to_number(s.substr(1));
  const std::optional<std::int32_t> ms = core::whole_number(number);
  if (!ms || *ms < 0 || *ms > kMaxWaitMs) {
    stop("a wait must be 0.." + std::to_string(kMaxWaitMs) + " milliseconds.");
    return;
  }
  host_.sleep_ms(*ms);
  ++run_.pc;
}

}  // namespace tessaflex::engine
