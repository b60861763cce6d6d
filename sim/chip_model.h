// A PIC18 chip at the level of its ICSP pins: clocked bits, core instructions, memories, simulated time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/chip_devices.h"
#include "sim/icsp_violation.h"

namespace tessaflex::sim {

// What the programmer does with PGD during one PGC pulse.
enum class Pgd { low, high, released };

// The chip in the programmer's socket, following its family's Microchip programming
// document (listed with the facts used in docs/pic18-programming.md). It sees
// only what silicon sees: VDD/VPP switched in some order, and PGC pulses with a PGD level,
// each with its simulated rise and fall time in microseconds. It decodes 20-clock frames
// (4 command bits, 16 operand bits, least significant bit first, sampled on the falling
// edge), executes core instructions, table reads and writes, programs on the programming
// NOP, erases, writes its data EEPROM in simulated time, and records every protocol
// violation beside its memories. Most tests use it through VirtualProgrammer.
//
// Where the documents leave a point unconfirmed [U] or disputed [D], the model takes the
// reading under which an algorithm that works here works on silicon either way: EEPGD/CFGS,
// TBLPTR, the FXX2 panel mode and the erase control registers (3C0005h, which 2XXX/K20/K22
// decode) are undefined after entry until written; holding registers keep stale bytes except
// on 2455/2550/4455/4550; every load from the first after a start to the next 1111 must lie
// in the row that 1111 programs; configuration bytes take 1111 writes only; K20/K22 need WREN
// to program, and start a self-timed write on the 4th clock of the second of two NOPs after
// BSF WR, not on any 24 clocks; FXX2/X220 EEPROM writes and row erases need 55h/AAh right
// before BSF WR; a VPP-first power-up does not enter program mode; 1110 is recorded; the
// longer of two times is taken (P11 10 ms on FXX2/X220, P10 200 us on K20); an EEPROM address
// past the end wraps and is recorded; a code-protected EEPROM reads 0.
//
// Times passed in must never decrease. Nothing here sleeps.
class ChipModel {
 public:
  explicit ChipModel(const ChipDevice& device);

  const ChipDevice& device() const { return device_; }

  // --- Pins ---------------------------------------------------------------------------
  // Powers the chip up with PGC = PGD = 0: VDD then VPP when vdd_first (program/verify
  // mode entry of every family), VPP then VDD otherwise (recorded as vpp_first_entry; the
  // chip does not enter program/verify mode). A chip already powered is powered down first.
  void power_up(bool vdd_first, std::int64_t at_us);
  // PGC = PGD = 0, VPP off, then VDD off: the serial engine resets, a running erase or
  // write is cut (power_down_while_busy).
  void power_down(std::int64_t at_us);
  // One PGC pulse rising at rise_us and falling at fall_us (fall_us > rise_us) while the
  // programmer sets PGD to pgd. Returns the level the chip drives on PGD during the pulse
  // (0 or 1), or -1 when the chip does not drive it.
  int clock(Pgd pgd, std::int64_t rise_us, std::int64_t fall_us);
  // Lets self-timed work (bulk erase, EEPROM write, K20/K22 row erase) run up to at_us.
  void advance_to(std::int64_t at_us);

  // --- State --------------------------------------------------------------------------
  bool powered() const { return powered_; }
  bool in_program_mode() const { return program_mode_; }
  bool erasing(std::int64_t at_us) const { return erase_busy_ && at_us < erase_ignore_until_us_; }
  // The WR bit of EECON1 (a data EEPROM write or self-timed row erase in progress).
  bool wr() const { return (eecon1_ & 0x02) != 0; }
  std::uint8_t eecon1() const { return eecon1_; }
  std::uint32_t tblptr() const { return tblptr_; }
  std::uint8_t w() const { return w_; }
  std::uint8_t tablat() const { return tablat_; }
  // The bit position of the next clock inside its 20-clock frame (0 = a new frame).
  int frame_bit() const { return frame_bit_; }

  // --- Memories, as the cells hold them (code protection does not hide them here) -------
  const std::vector<std::uint8_t>& flash() const { return flash_; }
  const std::vector<std::uint8_t>& eeprom() const { return eeprom_; }
  const std::array<std::uint8_t, devices::kIdBytes>& ids() const { return ids_; }
  // CONFIG1L..CONFIG7H (index 0 is CONFIG1L); unimplemented bits and bytes are 0.
  const std::array<std::uint8_t, devices::kConfigBytes>& config() const { return config_; }
  std::uint16_t devid() const { return devid_; }
  // The byte a table read at address gets over ICSP (code protection, unimplemented
  // space and DEVID included); no side effect.
  std::uint8_t icsp_read(std::uint32_t address) const;

  // Preloading, with no protocol: the cells take the value (configuration bytes masked
  // to their implemented bits). Addresses outside the memory are ignored.
  void set_flash(std::int32_t address, std::uint8_t value);
  void set_eeprom(std::int32_t address, std::uint8_t value);
  void set_id(std::int32_t index, std::uint8_t value);
  void set_config(std::int32_t index, std::uint8_t value);
  void set_devid(std::uint16_t devid) { devid_ = devid; }
  // Every memory erased: code, IDs, EEPROM FF, configuration at its erased values.
  void erase_all();

  // --- Violations ---------------------------------------------------------------------
  // The report during which the following clocks arrive (for the violation records).
  void set_report_index(std::int64_t index) { report_index_ = index; }
  // Adds a violation (the same kind is recorded once per report).
  void record(ViolationKind kind, std::string detail);
  const std::vector<Violation>& violations() const { return violations_; }
  void clear_violations() { violations_.clear(); }

  // --- Faults -------------------------------------------------------------------------
  // When set, WR never clears after a data EEPROM write or self-timed row erase (the
  // write itself still happens).
  void set_wr_stuck(bool stuck) { wr_stuck_ = stuck; }

 private:
  enum class Pending { none, eeprom_write, row_erase };
  // What the next programming NOP does.
  enum class Programming { none, code_row, config_byte, row_erase };

  void reset_engine();
  void finish_self_timed(std::int64_t at_us);
  void on_command(std::uint8_t command, std::int64_t rise_us, std::int64_t fall_us);
  void on_frame(std::uint8_t command, std::uint16_t operand);
  void execute(std::uint16_t opcode);
  // Where a table write at an address goes: the erase/panel control registers, a
  // configuration byte, the holding registers (code and IDs), or nowhere.
  enum class Target { control, config, holding, none };
  Target target_of(std::uint32_t address) const;
  void check_tblptr(const char* what);
  void table_read(std::uint8_t command);
  void table_write(std::uint8_t command, std::uint16_t operand);
  void core_table_write(std::uint8_t low_nibble);
  void write_control(std::uint32_t address, std::uint8_t value);
  // One byte into the holding register of address; records row_crossed when the loads since
  // the last start-programming write span two rows.
  void load_holding(std::uint32_t address, std::uint8_t value);
  // EECON1 selecting code (config false) or configuration memory and, where the family
  // needs it, WREN: the checks of every start-programming write.
  bool may_start(bool config, const char* what);
  void start_programming(Programming what, std::uint32_t address, std::int64_t min_us);
  void start_code_write(std::uint32_t address);
  void start_config_write(std::uint32_t address, std::uint8_t value);
  void erase_row(std::uint32_t address);
  std::uint32_t eeprom_address(const char* what);
  bool selection_known(bool cfgs_only, const char* what);
  void set_wr();
  // A K20/K22 self-timed write whose BSF WR was not followed by two NOPs: recorded, dropped.
  void cancel_wr(const std::string& what);
  void eeprom_read();
  void start_self_timed(std::int64_t at_us);
  void start_bulk_erase(std::int64_t at_us);
  void apply_erase(std::uint16_t value);
  std::uint8_t read_register(std::uint8_t address) const;
  void write_register(std::uint8_t address, std::uint8_t value);
  bool code_protected(std::int32_t address) const;
  bool write_protected(std::int32_t address) const;
  std::int32_t block_of(std::int32_t address) const;
  void program_code_row();
  void program_config();
  bool need_selection(bool want_eepgd, bool want_cfgs, const char* what);
  std::uint32_t step_tblptr(std::uint32_t value, int delta) const;

  ChipDevice device_;
  std::vector<std::uint8_t> flash_;
  std::vector<std::uint8_t> eeprom_;
  std::array<std::uint8_t, devices::kIdBytes> ids_{};
  std::array<std::uint8_t, devices::kConfigBytes> config_{};
  std::uint16_t devid_ = 0;

  // Power and serial engine.
  bool powered_ = false;
  bool program_mode_ = false;
  int frame_bit_ = 0;
  std::uint8_t command_ = 0;
  std::uint16_t operand_ = 0;
  bool read_frame_ = false;
  std::uint8_t out_byte_ = 0;
  std::int64_t now_us_ = 0;
  bool discharge_check_ = false;
  std::int64_t discharge_from_us_ = 0;
  std::int64_t discharge_min_us_ = 0;

  // Core registers.
  std::uint8_t w_ = 0;
  std::uint32_t tblptr_ = 0;
  std::uint8_t tblptr_known_ = 0;  // bit 0: L, bit 1: H, bit 2: U loaded since entry
  std::uint8_t tablat_ = 0;
  std::uint8_t tablat_before_ = 0;
  bool last_was_movwf_tablat_ = false;
  std::uint8_t eecon1_ = 0;
  bool eepgd_known_ = false;
  bool cfgs_known_ = false;
  std::uint8_t eedata_ = 0;
  std::uint8_t eeadr_ = 0;
  std::uint8_t eeadrh_ = 0;
  std::array<std::uint8_t, 256> access_bank_{};
  std::uint32_t pc_ = 0;
  bool goto_second_word_ = false;
  std::uint8_t goto_low_ = 0;
  bool pc_parked_ = false;
  int unlock_stage_ = 0;  // 1: 55h written to EECON2, 2: AAh followed
  bool unlocked_ = false;

  // Programming.
  std::vector<std::uint8_t> holding_;  // W bytes (FXX2: 8 per panel, panels side by side)
  std::int32_t holding_row_ = -1;      // the row loaded since the last start (-1: none)
  std::uint32_t holding_last_ = 0;     // the address of the last load
  Programming programming_ = Programming::none;
  std::uint32_t programming_address_ = 0;
  std::uint8_t programming_value_ = 0;
  std::int64_t programming_min_us_ = 0;
  std::uint8_t panel_mode_ = 0;
  bool panel_mode_known_ = false;

  // Self-timed writes started by BSF WR.
  Pending pending_ = Pending::none;       // waiting for its start clocks
  Pending pending_kind_ = Pending::none;  // the one running
  int clocks_to_start_ = 0;
  int nops_after_wr_ = 0;            // K20/K22: NOP frames since BSF WR
  bool second_nop_started_ = false;  // K20/K22: the write started on this frame's 4th clock
  bool self_timed_busy_ = false;
  std::int64_t self_timed_end_us_ = 0;
  std::uint16_t pending_address_ = 0;
  std::uint8_t pending_value_ = 0;
  std::uint32_t pending_row_ = 0;
  bool wr_stuck_ = false;

  // Bulk erase.
  std::array<std::uint8_t, 3> control_{};  // 3C0004h, 3C0005h, 3C0006h
  std::uint8_t control_written_ = 0;       // bit n: control_[n] written since entry
  int erase_stage_ = 0;                    // 1: trigger written, 2: NOP followed
  bool erase_busy_ = false;
  std::int64_t erase_end_us_ = 0;
  std::int64_t erase_ignore_until_us_ = 0;
  std::uint16_t erase_value_ = 0;
  bool out_of_step_ = false;
  bool out_of_step_reported_ = false;

  std::int64_t report_index_ = -1;
  std::vector<Violation> violations_;
};

}  // namespace tessaflex::sim
