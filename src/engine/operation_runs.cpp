// The five chip operations: one run frame around the interpreter, and what each adds.
#include <string>
#include <string_view>

#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "engine/elapsed_text.h"
#include "engine/engine.h"
#include "link/programmer_connection.h"

namespace tessaflex::engine {

// What differs between the five runs.
struct Engine::RunKind {
  devices::AlgorithmKind statements;
  std::string_view begin_text;
  std::string_view result_text;    // when no mismatch was found
  std::string_view mismatch_text;  // when one was (blank check and verify only)
  std::string_view box_heading;    // heading of the mismatch box ("" for no box)
  bool checks;                     // clears the mismatch report and reports on it
  bool reads_images;               // resets the images first and redraws around the run
};

namespace {

using Kind = devices::AlgorithmKind;

}  // namespace

void Engine::program_all() {
  static constexpr RunKind kind{Kind::program, "Begin program all.", "Chip programmed. ", "", "", false,
                                false};
  run_operation(kind);
}

void Engine::erase_all() {
  static constexpr RunKind kind{Kind::erase, "Begin erase all.", "Chip erased. ", "", "", false, false};
  run_operation(kind);
}

void Engine::read_all() {
  static constexpr RunKind kind{Kind::read, "Begin read all.", "Chip read. ", "", "", false, true};
  run_operation(kind);
}

void Engine::blank_check() {
  static constexpr RunKind kind{Kind::blankcheck,
                                "Begin blank check.",
                                "Chip is blank. ",
                                "Chip is not blank. ",
                                "Chip is not blank:",
                                true,
                                false};
  run_operation(kind);
}

void Engine::verify_chip() {
  static constexpr RunKind kind{
      Kind::verify, "Begin verify.", "Chip verified. ", "Chip verify failed. ", "Chip verify failed:", true,
      false};
  run_operation(kind);
}

void Engine::load_script(devices::AlgorithmKind kind) {
  const devices::StatementList& statements = workspace_.current_device.statements(kind);
  run_.script.assign(1, std::string());
  run_.script.insert(run_.script.end(), statements.begin(), statements.end());
  run_.script_count = static_cast<std::int32_t>(statements.size());
  run_.counter = 0;
  run_.flash_last = workspace_.current_device.flash_size - 1;
  run_.eeprom_last = workspace_.current_device.eeprom_size - 1;
  run_.pc = 1;
  clear_halt();
}

void Engine::run_operation(const RunKind& kind) {
  if (!terminal_.terminal_connected()) {
    host_.set_status(link::kHardwareNotFound);
    return;
  }

  load_script(kind.statements);
  run_.start_time = host_.clock_seconds();
  if (kind.checks) clear_mismatch_report(mismatch_);
  host_.disable();
  host_.set_status(kind.begin_text);
  host_.process_events();
  if (kind.reads_images) {
    devices::erase_images(workspace_.current_device, workspace_.memory_images);
    host_.updatedisplay();
    host_.process_events();
  }

  run_.pc = 1;
  while (run_.pc <= run_.script_count && halt_ == Halt::none) {
    // The window keeps Test Vpp from acting during a run; should it ever, the
    // interpreter would make no progress, so the run stops rather than spin.
    if (workspace_.vpp_on) {
      statement_pc_ = run_.pc;
      stop("the target power was switched on by hand (Test Vpp).", false);
      break;
    }
    execute_symbolic_instruction();
  }

  if (halt_ == Halt::program_end) return;
  if (halt_ == Halt::stopped) {
    finish_stopped_run();
    if (kind.reads_images) {
      host_.updatedisplay();
      host_.process_events();
    }
    return;
  }

  host_.enable();
  // A monotonic clock cannot wrap at midnight; the difference is taken in double and
  // kept in single precision, as the result text has always shown it.
  const auto elapsed = static_cast<float>(host_.clock_seconds() - run_.start_time);
  run_.start_time = elapsed;
  elapsed_text_ = engine::elapsed_text(elapsed);
  const bool mismatched = kind.checks && mismatch_.mismatch_count != 0;
  std::string status(mismatched ? kind.mismatch_text : kind.result_text);
  status += elapsed_text_;
  status += " seconds elapsed...";
  host_.set_status(status);
  host_.process_events();
  if (kind.reads_images) {
    host_.updatedisplay();
    host_.process_events();
  }
  if (mismatched) {
    std::string text(kind.box_heading);
    text += "\r\n\r\n";
    text += mismatch_.mismatch_report;
    host_.message_box(text, core::BoxKind::error, "");
    host_.process_events();
  }
}

void Engine::finish_stopped_run() {
  // Never leave Vpp on a target whose run broke off; the report is only useful while
  // the programmer is still there.
  if (stop_power_down_ && terminal_.terminal_connected()) reports_.hid_end();
  host_.enable();
  host_.set_status(stop_text_);
  host_.process_events();
}

}  // namespace tessaflex::engine
