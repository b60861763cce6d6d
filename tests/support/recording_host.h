// A host that records what the core shows, answers boxes from a queue and keeps time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"

namespace tessaflex::testing {

struct RecordedBox {
  std::string text;
  core::BoxKind kind;
  std::string caption;
};

// Every call is recorded in order. The clock is simulated: sleep_ms advances it, and so does
// on_sleep (a virtual programmer's sleep_hook() goes there), so no test ever sleeps for real.
class RecordingHost : public core::Host {
 public:
  void set_status(std::string_view text) override { statuses.emplace_back(text); }
  void process_events() override { ++events_processed; }
  void disable() override { enabled = false, calls.emplace_back("disable"); }
  void enable() override { enabled = true, calls.emplace_back("enable"); }
  void updatedisplay() override { ++redraws; }
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override {
    boxes.push_back({std::string(text), kind, std::string(caption)});
    if (answers.empty()) return core::BoxAnswer::ok;
    const core::BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void sleep_ms(std::int64_t milliseconds) override {
    slept_ms += milliseconds;
    now_seconds += static_cast<double>(milliseconds) / 1000.0;
    if (on_sleep) on_sleep(milliseconds);
  }
  double clock_seconds() override { return now_seconds; }
  void end_program() override { ended = true; }

  // The last status text ("" when none was set).
  std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

  std::vector<std::string> statuses;
  std::vector<RecordedBox> boxes;
  std::deque<core::BoxAnswer> answers;  // next answers; ok when empty
  std::vector<std::string> calls;       // "disable", "enable", in order
  int events_processed = 0;
  int redraws = 0;
  bool enabled = true;
  bool ended = false;
  double now_seconds = 0;
  std::int64_t slept_ms = 0;
  std::function<void(std::int64_t)> on_sleep;
};

}  // namespace tessaflex::testing
