// The protocol violations that the virtual programmer and its chip model record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::sim {

// Something an algorithm (or the firmware given its reports) did that the family's programming
// document (docs/pic18-programming.md) or the report codes of src/link/report_layer.h do not
// allow. Silicon would misbehave or behave undefined;
// the model records the violation and goes on as the chip would (see each kind).
enum class ViolationKind {
  // Firmware level (the reports themselves).
  unknown_report,        // code 0, 104..106 or any other code the firmware does not know
  command_out_of_range,  // 107 with a command above 15 (a device-list error)
  vpp_first_entry,       // 102: VPP before VDD; the chip does not enter program/verify mode
  // Serial engine.
  not_in_program_mode,      // clocks while the chip is unpowered or not in program/verify mode
  unknown_command,          // a 4-bit command not in the table (0001, 0011..0111) or 1110
  unsupported_instruction,  // a core instruction the model does not execute
  pgd_contention,           // the programmer drove PGD while the chip drove it (data after a read command)
  shift_out_without_nop,    // 0010 straight after MOVWF TABLAT on 2XXX/K20/K22 (the NOP is needed)
  // EECON1 and table pointer set-up.
  eecon1_undefined,        // EEPGD/CFGS used before being set since entry
  tblptr_undefined,        // a table read or write before TBLPTR was loaded since entry
  wrong_eecon1_selection,  // a write, BSF WR or RD whose target does not match EEPGD/CFGS
  missing_wren,            // EEPROM write (all), code/config programming (K20/K22) without WREN
  missing_unlock,          // FXX2/X220 EEPROM write or row erase without 55h/AAh right before BSF WR
  missing_register,        // a write to a register the part lacks (EEADRH/BAUDCTL on 18F1220/1320)
  missing_nops_after_wr,   // K20/K22: BSF WR not followed by two NOPs (the write starts on the second)
  // Programming.
  missing_programming_nop,      // a start-programming write not followed by the programming NOP
  short_programming_time,       // PGC held high for less than P9 (P9A for K20/K22 configuration, K22 IDs)
  short_discharge_time,         // PGC low for less than P10 after a programming NOP
  row_crossed,                  // loads since the last start-programming write in two rows (a dummy included)
  write_outside_memory,         // a table write to an address the part does not implement
  panel_mode_undefined,         // FXX2 code programming before 3C0006h (panel mode) was written
  config_without_goto,          // FXX2/X220 configuration write without GOTO 100000h since entry
  config_write_protected,       // a configuration write while WRTC = 0
  config_write_not_1111,        // a table write other than 1111 into configuration space
  write_while_busy,             // a write, erase or programming started while another one runs
  write_not_started,            // BSF WR without the clocks that start the write before power-down
  eeprom_address_out_of_range,  // EEADRH:EEADR beyond the EEPROM (the model wraps it)
  // Bulk erase.
  bulk_erase_sequence,        // the erase trigger not followed by NOP + 0000, or a value the family lacks
  erase_key_undefined,        // 2XXX/K20/K22: erase triggered while 3C0005h was not written since entry
  pgd_high_during_erase,      // PGD not held low while the chip erases
  commands_after_bulk_erase,  // clocks after a bulk erase without a power-down: the engine is out of step
  power_down_while_busy,      // power removed while an erase or write still ran
};

// The kind's name as written above ("missing_unlock").
std::string_view violation_name(ViolationKind kind);

struct Violation {
  ViolationKind kind;
  std::string detail;         // what exactly happened, with addresses and values in hex
  std::int64_t report_index;  // 0-based index of the report during which it happened (-1: none)
  std::int64_t at_us;         // simulated time in microseconds
};

}  // namespace tessaflex::sim
