// A host that records what the core shows and keeps a simulated clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"

namespace tessaflex::test {

// Statuses and box texts recorded in order, every box answered OK. Only sleep_ms moves the clock and
// calls on_sleep (where a virtual programmer's sleep_hook() goes): no test ever sleeps for real.
class RecordingHost : public core::Host {
 public:
  void set_status(std::string_view text) override { statuses.emplace_back(text); }
  void process_events() override {}
  void disable() override {}
  void enable() override {}
  void updatedisplay() override {}
  core::BoxAnswer message_box(std::string_view text, core::BoxKind, std::string_view) override {
    boxes.emplace_back(text);
    return core::BoxAnswer::ok;
  }
  void sleep_ms(std::int64_t milliseconds) override {
    now_seconds += static_cast<double>(milliseconds) / 1000.0;
    if (on_sleep) on_sleep(milliseconds);
  }
  double clock_seconds() override { return now_seconds; }
  void end_program() override {}

  // The last status text ("" when none was set).
  std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

  std::vector<std::string> statuses;
  std::vector<std::string> boxes;  // their texts
  double now_seconds = 0;
  std::function<void(std::int64_t)> on_sleep;
};

}  // namespace tessaflex::test
