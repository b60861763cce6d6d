// The text report of the bytes a blank check or verify found different, with its cut-off.
#include "engine/mismatch_report.h"

namespace tessaflex::engine {
namespace {

constexpr std::string_view kSeparator = ",   ";
constexpr std::string_view kLineEnd = ",\r\n";

}  // namespace

void clear_mismatch_report(MismatchState& state) {
  state.mismatch_count = 0;
  state.mismatch_report = "Memory Location,   ";
  state.mismatch_report += "Read Value,   ";
  state.mismatch_report += "Expected,\r\n";
}

void add_mismatch_line(MismatchState& state, RunState& run, std::string_view location,
                       std::string_view read_value, std::string_view expected) {
  std::string& report = state.mismatch_report;
  report += location;
  report += kSeparator;
  report += read_value;
  report += kSeparator;
  report += expected;
  report += kLineEnd;
  ++state.mismatch_count;
  // Equality, not "at least": later lines are only collected.
  if (state.mismatch_count == kMismatchCutOff) run.pc = run.script_count;
}

}  // namespace tessaflex::engine
