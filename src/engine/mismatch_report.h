// The text report of the bytes a blank check or verify found different, with its cut-off.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run_state.h"

namespace tessaflex::engine {

// After this many lines the run is sent to its last statement.
inline constexpr std::int32_t kMismatchCutOff = 25;

struct MismatchState {
  std::int32_t mismatch_count = 0;  // lines added since the last clear
  std::string mismatch_report;      // header line and one line per mismatch; "" before any clear
};

// mismatch_count := 0 and the report := the header line alone.
void clear_mismatch_report(MismatchState& state);

// Appends "location,   read,   expected," and CR LF and counts the line. When the count
// has just become exactly 25, run.pc := run.script_count, so that only the script's last
// statement still runs; a 26th line or more never cuts again.
void add_mismatch_line(MismatchState& state, RunState& run, std::string_view location,
                       std::string_view read_value, std::string_view expected);

}  // namespace tessaflex::engine
