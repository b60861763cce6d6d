// A host that records what the core shows, answers boxes from a queue and keeps time.
#include "support/recording_host.h"

namespace tessaflex::testing {

void RecordingHost::set_status(std::string_view text) { statuses.emplace_back(text); }

void RecordingHost::disable() {
  enabled = false;
  calls.emplace_back("disable");
}

void RecordingHost::enable() {
  enabled = true;
  calls.emplace_back("enable");
}

core::BoxAnswer RecordingHost::message_box(std::string_view text, core::BoxKind kind,
                                           std::string_view caption) {
  boxes.push_back({std::string(text), kind, std::string(caption)});
  if (answers.empty()) return core::BoxAnswer::ok;
  const core::BoxAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

void RecordingHost::sleep_ms(std::int64_t milliseconds) {
  slept_ms += milliseconds;
  now_seconds += static_cast<double>(milliseconds) / 1000.0;
  if (on_sleep) on_sleep(milliseconds);
}

}  // namespace tessaflex::testing
