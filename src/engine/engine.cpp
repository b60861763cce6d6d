// The algorithm engine: one statement per call, and what every statement family shares.
#include "engine/engine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "core/ascii_case.h"
#include "core/hex_text.h"
#include "engine/config_bytes.h"

namespace tessaflex::engine {

Engine::Engine(devices::Workspace& workspace, link::ReportLayer& reports, link::HidTerminal& terminal,
               core::Host& host, std::string program_title)
    : workspace_(workspace),
      reports_(reports),
      terminal_(terminal),
      host_(host),
      program_title_(std::move(program_title)) {}

void Engine::execute_symbolic_instruction() {
  if (workspace_.vpp_on) return;
  if (halt_ != Halt::none) return;
  if (run_.pc < 0 || run_.pc > run_.script_count || static_cast<std::size_t>(run_.pc) >= run_.script.size()) {
    return;
  }
  statement_pc_ = run_.pc;
  const std::string& s = run_.script[static_cast<std::size_t>(run_.pc)];
  const StatementForm* form = find_statement_form(s);
  if (form == nullptr) {
    unrecognized(s);
    return;
  }
  (this->*(form->handler))(s, form->arg);
}

void Engine::clear_halt() {
  halt_ = Halt::none;
  stop_text_.clear();
  stop_power_down_ = true;
  write_polls_ = 0;
}

void Engine::unrecognized(std::string_view s) {
  // Power the target down before the box: the user may leave it open for a long time,
  // and the program ends afterwards without any other chance to drop Vpp.
  if (terminal_.terminal_connected()) reports_.hid_end();
  std::string text = "Unrecognized symbolic instruction '";
  text += s;
  text += "'.\r\nThe program must end.";
  host_.message_box(text, core::BoxKind::error, program_title_);
  halt_ = Halt::program_end;
  host_.end_program();
}

void Engine::stop(std::string_view reason, bool power_down) {
  halt_ = Halt::stopped;
  stop_power_down_ = power_down;
  stop_text_ = "Run stopped at statement ";
  stop_text_ += std::to_string(statement_pc_);
  if (static_cast<std::size_t>(statement_pc_) < run_.script.size()) {
    stop_text_ += " '";
    stop_text_ += run_.script[static_cast<std::size_t>(statement_pc_)];
    stop_text_ += "'";
  }
  stop_text_ += ": ";
  stop_text_ += reason;
}

// Progress texts -------------------------------------------------------------------

void Engine::show_progress(char memory) {
  // Built on the stack: a progress text goes out for every byte of a run. Two 64-bit
  // numbers and three characters always fit; the guard only keeps the compiler sure of it.
  std::array<char, 48> buffer{};
  char* const end = buffer.data() + buffer.size();
  char* out = buffer.data();
  *out++ = memory;
  *out++ = ':';
  out = std::to_chars(out, end, static_cast<std::int64_t>(run_.counter) + 1).ptr;
  if (out != end) *out++ = '/';
  out = std::to_chars(out, end, static_cast<std::int64_t>(run_.loop_end) + 1).ptr;
  host_.set_status(std::string_view(buffer.data(), static_cast<std::size_t>(out - buffer.data())));
  host_.process_events();
}

void Engine::show_flash_progress() { show_progress('F'); }
void Engine::show_eeprom_progress() { show_progress('E'); }

void Engine::show_config_progress(int config) {
  host_.set_status(kConfigByteNames[static_cast<std::size_t>(config)].progress);
  host_.process_events();
}

// Report exchanges ------------------------------------------------------------------

bool Engine::exchanged(link::LinkStatus status, std::string_view what) {
  if (status == link::LinkStatus::ok) return true;
  std::string reason;
  if (status == link::LinkStatus::refused) {
    reason = "a value does not fit its report byte; nothing was sent.";
  } else if (!terminal_.terminal_connected()) {
    reason = "the programmer is no longer connected.";
  } else {
    reason = "the programmer did not take ";
    reason += what;
    reason += '.';
  }
  stop(reason);
  return false;
}

bool Engine::command(std::int32_t code) {
  const link::LinkStatus status = reports_.hid_send_command(code);
  reports_.hid_pause();
  return exchanged(status, "a command report");
}

bool Engine::word(std::int32_t operand) {
  const link::LinkStatus status = reports_.hid_send_word(operand);
  reports_.hid_pause();
  return exchanged(status, "an operand report");
}

bool Engine::read_byte(std::int32_t& value) {
  const link::LinkStatus status = reports_.hid_read_byte(value);
  reports_.hid_pause();
  return exchanged(status, "a read report or gave no answer");
}

// Fields and bounds -----------------------------------------------------------------

std::int32_t Engine::hex_field(std::string_view s, std::size_t first, std::size_t length) {
  // Taken by position: a shorter statement gives a shorter field, which the strict
  // parsers refuse.
  std::array<char, 4> field{};
  std::size_t size = 0;
  for (std::size_t i = first - 1; i < s.size() && size < length; ++i) {
    field[size++] = core::ascii_upper(s[i]);
  }
  const std::string_view text(field.data(), size);
  const std::int32_t value = length == 2 ? core::hex_to_byte(text) : core::hex_to_word(text);
  if (value < 0) {
    std::string reason = "the field '";
    reason += text;
    reason +=
        length == 2 ? "' is not a 2-digit hexadecimal command." : "' is not a 4-digit hexadecimal operand.";
    stop(reason);
  }
  return value;
}

std::int32_t Engine::command_field(std::string_view s, std::size_t first) { return hex_field(s, first, 2); }

std::int32_t Engine::operand_field(std::string_view s, std::size_t first) { return hex_field(s, first, 4); }

bool Engine::inside_image(std::int32_t address, std::int32_t count, std::int32_t size,
                          std::string_view image) {
  const auto first = static_cast<std::int64_t>(address);
  if (first >= 0 && first + count <= size) return true;
  std::string reason = "address ";
  reason += core::addr_to_hex_h(address);
  reason += " is outside the ";
  reason += image;
  reason += " image (";
  reason += std::to_string(size);
  reason += " bytes).";
  stop(reason);
  return false;
}

std::int32_t Engine::usable_page_size() {
  const std::int32_t page_size = workspace_.current_device.page_size;
  if (page_size >= 1) return page_size;
  stop("the page size is " + std::to_string(page_size) + "; it must be at least 1.");
  return 0;
}

void Engine::skip_past(std::string_view marker) {
  const auto last =
      std::min<std::int64_t>(run_.script_count, static_cast<std::int64_t>(run_.script.size()) - 1);
  for (std::int32_t pc = run_.pc; pc <= last; ++pc) {
    if (run_.script[static_cast<std::size_t>(pc)] == marker) {
      run_.pc = pc + 1;
      return;
    }
  }
  stop("no \"" + std::string(marker) + "\" follows it.");
}

}  // namespace tessaflex::engine
