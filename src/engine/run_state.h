// The state one chip operation run works on, kept by the engine from run to run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaflex::engine {

// A run sets script, script_count, pc, counter, flash_last, eeprom_last and start_time;
// loop_start, loop_end, temp and the address bytes keep what the previous run left
// (0 before the first run), because algorithms may rely on them.
struct RunState {
  // Element 0 is the empty text and is never a statement of the list; elements
  // 1..script_count are the statements.
  std::vector<std::string> script = std::vector<std::string>(1);
  std::int32_t script_count = 0;
  std::int32_t pc = 0;           // index of the statement the next call executes
  std::int32_t counter = 0;      // current byte address in the FLASH or EEPROM image
  std::int32_t loop_start = 0;   // pc of the last loop head executed
  std::int32_t loop_end = 0;     // last address the running loop covers
  std::int32_t flash_last = 0;   // highest FLASH address a FLASH loop covers
  std::int32_t eeprom_last = 0;  // highest EEPROM address an EEPROM loop covers
  std::int32_t temp = 0;         // last byte read by temp=sXX or waitwr, 0..255
  std::int32_t addr_upper = 0;   // bits 16 and up of counter at the last address load
  std::int32_t addr_high = 0;    // bits 8..15
  std::int32_t addr_low = 0;     // bits 0..7
  // Monotonic clock seconds at the start of the run; after the run, its elapsed seconds.
  double start_time = 0;
};

}  // namespace tessaflex::engine
