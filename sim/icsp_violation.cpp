// Names of the protocol violations, for test messages.
#include "sim/icsp_violation.h"

namespace tessaflex::sim {

std::string_view violation_name(ViolationKind kind) {
  switch (kind) {
    case ViolationKind::unknown_report:
      return "unknown_report";
    case ViolationKind::command_out_of_range:
      return "command_out_of_range";
    case ViolationKind::vpp_first_entry:
      return "vpp_first_entry";
    case ViolationKind::not_in_program_mode:
      return "not_in_program_mode";
    case ViolationKind::unknown_command:
      return "unknown_command";
    case ViolationKind::unsupported_instruction:
      return "unsupported_instruction";
    case ViolationKind::pgd_contention:
      return "pgd_contention";
    case ViolationKind::shift_out_without_nop:
      return "shift_out_without_nop";
    case ViolationKind::eecon1_undefined:
      return "eecon1_undefined";
    case ViolationKind::tblptr_undefined:
      return "tblptr_undefined";
    case ViolationKind::wrong_eecon1_selection:
      return "wrong_eecon1_selection";
    case ViolationKind::missing_wren:
      return "missing_wren";
    case ViolationKind::missing_unlock:
      return "missing_unlock";
    case ViolationKind::missing_register:
      return "missing_register";
    case ViolationKind::missing_nops_after_wr:
      return "missing_nops_after_wr";
    case ViolationKind::missing_programming_nop:
      return "missing_programming_nop";
    case ViolationKind::short_programming_time:
      return "short_programming_time";
    case ViolationKind::short_discharge_time:
      return "short_discharge_time";
    case ViolationKind::row_crossed:
      return "row_crossed";
    case ViolationKind::write_outside_memory:
      return "write_outside_memory";
    case ViolationKind::panel_mode_undefined:
      return "panel_mode_undefined";
    case ViolationKind::config_without_goto:
      return "config_without_goto";
    case ViolationKind::config_write_protected:
      return "config_write_protected";
    case ViolationKind::config_write_not_1111:
      return "config_write_not_1111";
    case ViolationKind::write_while_busy:
      return "write_while_busy";
    case ViolationKind::write_not_started:
      return "write_not_started";
    case ViolationKind::eeprom_address_out_of_range:
      return "eeprom_address_out_of_range";
    case ViolationKind::bulk_erase_sequence:
      return "bulk_erase_sequence";
    case ViolationKind::erase_key_undefined:
      return "erase_key_undefined";
    case ViolationKind::pgd_high_during_erase:
      return "pgd_high_during_erase";
    case ViolationKind::commands_after_bulk_erase:
      return "commands_after_bulk_erase";
    case ViolationKind::power_down_while_busy:
      return "power_down_while_busy";
  }
  return "?";
}

}  // namespace tessaflex::sim
