// A PIC18 chip at the level of its ICSP pins: clocked bits, core instructions, memories, simulated time.
#include "sim/chip_model.h"

#include <algorithm>
#include <cstdio>

namespace tessaflex::sim {
namespace {

// The times per family, in microseconds (docs/pic18-programming.md). Where the sources give
// two readings, the longer time is taken: an algorithm that waits long enough for it also
// waits long enough on silicon.
struct FamilyTimes {
  std::int64_t p10;           // PGC low after a programming NOP
  std::int64_t p11;           // bulk erase
  std::int64_t eeprom_write;  // self-timed data EEPROM write
  std::int64_t row_erase;     // self-timed row erase (0: by the programming NOP)
};
constexpr FamilyTimes kTimes[] = {
    {5, 10000, 4000, 10000},   // FXX2: P11 5 or 10 ms [D]; the EEPROM write is polled (4 ms taken)
    {5, 10000, 10000, 10000},  // X220: P11 as FXX2; the EEPROM write takes P11
    {100, 5000, 4000, 0},      // 2XXX: row erase by BSF WR and the programming NOP
    {200, 5000, 4000, 4000},   // K20: P10 100 or 200 us [D]; row erase self-timed like an EEPROM write
    {200, 15000, 4000, 4000},  // K22: P11 15 ms, 12 ms on the 8 and 16 KB parts (start_bulk_erase)
};

// Behaviour that differs between the families (docs/pic18-programming.md). The old documents
// (FXX2, X220) differ from the newer ones (2XXX, K20, K22) in the same places throughout,
// and K20/K22 add their own self-timing and WREN rules.
struct FamilyRules {
  FamilyTimes times;
  int start_clocks;                 // PGC edges after BSF WR before a self-timed write starts
  bool two_nops_start_wr;           // instead, two NOPs after BSF WR, started on the second's 4th clock
  bool needs_unlock;                // 55h/AAh into EECON2 before BSF WR
  bool wren_for_programming;        // code and configuration programming needs WREN ([D], stricter)
  bool config_p9a;                  // configuration bytes need P9A instead of P9
  bool needs_goto_for_config;       // GOTO 100000h before configuration writes
  bool needs_nop_before_shift_out;  // 0000 between MOVWF TABLAT and 0010
  bool pnop_row_erase;              // row erase by BSF WR + programming NOP (2XXX)
  bool tblwt_1110_programs;         // 1110 starts programming (else post-decrement write)
  bool erase_by_bits;               // 3C0005:3C0004 decoded bit by bit (else the FXX2/X220 codes)
  bool panel_register;              // 3C0006h selects single- or multi-panel writes (FXX2)
};

constexpr FamilyRules rules_for(Family family) {
  const bool old = family == Family::fxx2 || family == Family::x220;
  const bool k = family == Family::k20 || family == Family::k22;
  return {.times = kTimes[static_cast<std::size_t>(family)],
          .start_clocks = 4,
          .two_nops_start_wr = k,
          .needs_unlock = old,
          .wren_for_programming = k,
          .config_p9a = k,
          .needs_goto_for_config = old,
          .needs_nop_before_shift_out = !old,
          .pnop_row_erase = family == Family::f2xxx,
          .tblwt_1110_programs = !old,
          .erase_by_bits = !old,
          .panel_register = family == Family::fxx2};
}

constexpr FamilyRules kRules[] = {rules_for(Family::fxx2), rules_for(Family::x220), rules_for(Family::f2xxx),
                                  rules_for(Family::k20), rules_for(Family::k22)};

const FamilyRules& rules_of(Family family) { return kRules[static_cast<std::size_t>(family)]; }

constexpr std::int64_t kP9 = 1000;
constexpr std::int64_t kP9A = 5000;
// A PGC high time at least this long on the 4th clock of a 0000 is a programming pulse;
// anything shorter is an ordinary clock (no programming NOP at all).
constexpr std::int64_t kHeldMin = 100;
constexpr std::uint32_t kRowEraseBytes = 64;

// EECON1 bits.
constexpr std::uint8_t kEepgd = 0x80, kCfgs = 0x40, kFree = 0x10, kWren = 0x04, kWr = 0x02, kRd = 0x01;
// Access-bank addresses of the SFRs at F80..FFF.
constexpr std::uint8_t kTblptrU = 0xF8, kTblptrH = 0xF7, kTblptrL = 0xF6, kTablat = 0xF5;
constexpr std::uint8_t kEecon1 = 0xA6, kEecon2 = 0xA7, kEedata = 0xA8, kEeadr = 0xA9, kEeadrh = 0xAA;

using devices::kConfigBase, devices::kConfigBytes, devices::kIdBase, devices::kIdBytes;
constexpr std::uint32_t kDevidBase = devices::kDeviceIdBase;
constexpr std::uint32_t kControlBase = 0x3C0004;  // the erase (and FXX2 panel) control registers

std::string hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

bool is_write_command(std::uint8_t c) { return c >= 0xC; }

}  // namespace

ChipModel::ChipModel(const ChipDevice& device) : device_(device) {
  flash_.assign(static_cast<std::size_t>(std::max(device_.flash_size, 0)), 0xFF);
  eeprom_.assign(static_cast<std::size_t>(std::max(device_.eeprom_size, 0)), 0xFF);
  erase_all();
  reset_engine();
}

// ---------------------------------------------------------------------------------------
// Power

void ChipModel::power_up(bool vdd_first, std::int64_t at_us) {
  if (powered_) power_down(at_us);
  advance_to(at_us);
  powered_ = true;
  program_mode_ = vdd_first;
  reset_engine();
  if (!vdd_first) {
    record(ViolationKind::vpp_first_entry,
           "VPP raised before VDD: no entry sequence of these families, the chip stays out of program/verify "
           "mode");
  }
}

void ChipModel::power_down(std::int64_t at_us) {
  advance_to(at_us);
  if (powered_) {
    if (erase_busy_)
      record(ViolationKind::power_down_while_busy, "power removed during a bulk erase; nothing erased");
    if (self_timed_busy_) {
      record(ViolationKind::power_down_while_busy,
             "power removed during a self-timed write; nothing written");
    }
    if (pending_ != Pending::none) {
      record(ViolationKind::write_not_started,
             "BSF WR was never followed by the clocks that start the write; nothing written");
    }
    if (programming_ != Programming::none) {
      record(ViolationKind::missing_programming_nop, "power removed before the programming NOP");
    }
  }
  powered_ = false;
  program_mode_ = false;
  reset_engine();
}

void ChipModel::reset_engine() {
  frame_bit_ = 0;
  command_ = 0;
  operand_ = 0;
  read_frame_ = false;
  out_byte_ = 0;
  discharge_check_ = false;
  w_ = 0;
  tblptr_ = 0;
  tblptr_known_ = 0;
  tablat_ = 0;
  tablat_before_ = 0;
  last_was_movwf_tablat_ = false;
  eecon1_ = 0;  // EEPGD/CFGS are undefined after entry: they must be set before they matter
  eepgd_known_ = false;
  cfgs_known_ = false;
  eedata_ = 0;
  eeadr_ = 0;
  eeadrh_ = 0;
  access_bank_.fill(0);
  pc_ = 0;
  goto_second_word_ = false;
  pc_parked_ = false;
  unlock_stage_ = 0;
  unlocked_ = false;
  const std::size_t panels = device_.family == Family::fxx2
                                 ? static_cast<std::size_t>(std::max(1, (device_.flash_size + 8191) / 8192))
                                 : 1;
  holding_.assign(static_cast<std::size_t>(device_.write_buffer) * panels, 0xFF);
  holding_row_ = -1;
  programming_ = Programming::none;
  panel_mode_ = 0;
  panel_mode_known_ = false;
  pending_ = Pending::none;
  clocks_to_start_ = 0;
  nops_after_wr_ = 0;
  second_nop_started_ = false;
  self_timed_busy_ = false;
  control_.fill(0);
  control_written_ = 0;
  erase_stage_ = 0;
  erase_busy_ = false;
  erase_ignore_until_us_ = 0;
  out_of_step_ = false;
  out_of_step_reported_ = false;
}

void ChipModel::advance_to(std::int64_t at_us) {
  if (at_us > now_us_) now_us_ = at_us;
  if (erase_busy_ && now_us_ >= erase_end_us_) {
    erase_busy_ = false;
    apply_erase(erase_value_);
  }
  finish_self_timed(now_us_);
}

void ChipModel::finish_self_timed(std::int64_t at_us) {
  if (!self_timed_busy_ || at_us < self_timed_end_us_) return;
  self_timed_busy_ = false;
  if (pending_kind_ == Pending::eeprom_write) {
    const bool wrtd = (config_[11] & 0x80) == 0;
    if (!wrtd && !eeprom_.empty()) eeprom_[pending_address_] = pending_value_;
  } else if (pending_kind_ == Pending::row_erase) {
    erase_row(pending_row_);
  }
  if (!wr_stuck_) eecon1_ = static_cast<std::uint8_t>(eecon1_ & ~kWr);
}

// ---------------------------------------------------------------------------------------
// The serial engine

int ChipModel::clock(Pgd pgd, std::int64_t rise_us, std::int64_t fall_us) {
  advance_to(rise_us);
  if (!powered_ || !program_mode_) {
    record(ViolationKind::not_in_program_mode, "PGC clocked while the chip is not in program/verify mode");
    advance_to(fall_us);
    return -1;
  }
  if (rise_us < erase_ignore_until_us_) {
    // The chip ignores serial traffic while it erases; the clocks it misses leave its
    // frame counter out of step until the next power-down.
    if (pgd != Pgd::low) {
      record(ViolationKind::pgd_high_during_erase, "PGD not held low while the chip erases");
    }
    out_of_step_ = true;
    advance_to(fall_us);
    return -1;
  }
  if (out_of_step_ && !out_of_step_reported_) {
    out_of_step_reported_ = true;
    record(ViolationKind::commands_after_bulk_erase,
           "clocks after a bulk erase without a power-down: the serial engine missed clocks during the erase "
           "and is out of step");
  }
  if (discharge_check_) {
    discharge_check_ = false;
    if (rise_us - discharge_from_us_ < discharge_min_us_) {
      record(ViolationKind::short_discharge_time,
             "PGC low for " + std::to_string(rise_us - discharge_from_us_) +
                 " us after programming, P10 is " + std::to_string(discharge_min_us_) + " us");
    }
  }
  int driven = -1;
  if (read_frame_ && frame_bit_ >= 12) {
    driven = (out_byte_ >> (frame_bit_ - 12)) & 1;
    if (pgd != Pgd::released) {
      record(ViolationKind::pgd_contention, "the programmer drove PGD while the chip shifted out a byte");
    }
  }
  advance_to(fall_us);

  if (pending_ != Pending::none && !rules_of(device_.family).two_nops_start_wr && --clocks_to_start_ <= 0) {
    start_self_timed(fall_us);
  }

  const int bit = driven >= 0 ? driven : (pgd == Pgd::high ? 1 : 0);
  if (frame_bit_ < 4) {
    command_ = static_cast<std::uint8_t>(command_ | (bit << frame_bit_));
    if (frame_bit_ == 3) on_command(command_, rise_us, fall_us);
  } else if (!read_frame_) {
    operand_ = static_cast<std::uint16_t>(operand_ | (bit << (frame_bit_ - 4)));
  }
  if (++frame_bit_ == 20) {
    const std::uint8_t command = command_;
    const std::uint16_t operand = operand_;
    frame_bit_ = 0;
    command_ = 0;
    operand_ = 0;
    read_frame_ = false;
    on_frame(command, operand);
  }
  return driven;
}

void ChipModel::on_command(std::uint8_t command, std::int64_t rise_us, std::int64_t fall_us) {
  const FamilyRules& rules = rules_of(device_.family);
  if (erase_stage_ == 2) {
    erase_stage_ = 0;
    if (command == 0) {
      start_bulk_erase(fall_us);
    } else {
      record(ViolationKind::bulk_erase_sequence, "the erase trigger and its NOP were followed by command " +
                                                     hex(command, 1) + ", not 0000; no erase");
    }
  }
  if (programming_ != Programming::none) {
    const Programming what = programming_;
    programming_ = Programming::none;
    const std::int64_t width = fall_us - rise_us;
    if (command != 0 || width < kHeldMin) {
      record(ViolationKind::missing_programming_nop,
             "start-programming write at " + hex(programming_address_, 6) +
                 " not followed by the programming NOP (PGC held high on the 4th clock of 0000); nothing "
                 "programmed");
    } else {
      discharge_check_ = true;
      discharge_from_us_ = fall_us;
      discharge_min_us_ = rules.times.p10;
      if (width < programming_min_us_) {
        record(ViolationKind::short_programming_time,
               "programming NOP held " + std::to_string(width) + " us at " + hex(programming_address_, 6) +
                   ", needs " + std::to_string(programming_min_us_) + " us; nothing programmed");
      } else if (what == Programming::code_row) {
        program_code_row();
      } else if (what == Programming::config_byte) {
        program_config();
      } else if (what == Programming::row_erase) {
        erase_row(programming_address_);
      }
      if (device_.holding_resets) std::fill(holding_.begin(), holding_.end(), 0xFF);
    }
    holding_row_ = -1;
  }
  if (pending_ != Pending::none && rules.two_nops_start_wr && nops_after_wr_ == 1) {
    if (command == 0) {
      start_self_timed(fall_us);
      second_nop_started_ = true;
    } else {
      cancel_wr("command " + hex(command, 1) + " as the second frame");
    }
  }
  if (command == 0x1 || (command >= 0x3 && command <= 0x7)) {
    record(ViolationKind::unknown_command, "4-bit command " + hex(command, 1) + " is not an ICSP command");
  } else if (command == 0xE) {
    record(ViolationKind::unknown_command,
           "4-bit command E (1110) means different things in different families; no sequence uses it");
  }
  if (command == 0x2) {
    read_frame_ = true;
    out_byte_ = tablat_;
    if (last_was_movwf_tablat_ && rules.needs_nop_before_shift_out) {
      record(ViolationKind::shift_out_without_nop,
             "0010 straight after MOVWF TABLAT: this family needs a NOP in between; the old TABLAT came out");
      out_byte_ = tablat_before_;
    }
  } else if (command >= 0x8 && command <= 0xB) {
    read_frame_ = true;
    table_read(command);
    out_byte_ = tablat_;
  }
}

void ChipModel::on_frame(std::uint8_t command, std::uint16_t operand) {
  if (erase_stage_ == 1) {
    if (command == 0 && operand == 0) {
      erase_stage_ = 2;
    } else {
      erase_stage_ = 0;
      record(ViolationKind::bulk_erase_sequence,
             "the erase trigger was not followed by a NOP (0000, 0000); no erase");
    }
  }
  last_was_movwf_tablat_ = false;
  if (pending_ != Pending::none && rules_of(device_.family).two_nops_start_wr && nops_after_wr_ == 0) {
    if (command == 0 && operand == 0) {
      nops_after_wr_ = 1;
    } else {
      cancel_wr("frame " + hex(command, 1) + " " + hex(operand, 4) + " as the first frame");
    }
  }
  if (second_nop_started_) {
    second_nop_started_ = false;
    if (command != 0 || operand != 0) {
      record(ViolationKind::missing_nops_after_wr,
             "the second frame after BSF WR was 0000 " + hex(operand, 4) +
                 ", not a NOP: the core ran it while the write started");
    }
  }
  if (command == 0) {
    execute(operand);
  } else {
    unlock_stage_ = 0;
    goto_second_word_ = false;
    if (is_write_command(command)) table_write(command, operand);
  }
}

// ---------------------------------------------------------------------------------------
// Core instructions

void ChipModel::execute(std::uint16_t opcode) {
  const int stage = unlock_stage_;
  unlock_stage_ = 0;
  if (goto_second_word_) {
    goto_second_word_ = false;
    if ((opcode & 0xF000) != 0xF000) {
      record(ViolationKind::unsupported_instruction,
             "GOTO without its second word (got " + hex(opcode, 4) + ")");
      return;
    }
    pc_ = ((static_cast<std::uint32_t>(opcode & 0x0FFF) << 8) | goto_low_) << 1;
    pc_parked_ = pc_ >= static_cast<std::uint32_t>(device_.flash_size);
    return;
  }
  const std::uint8_t f = static_cast<std::uint8_t>(opcode & 0xFF);
  const std::uint16_t high = opcode & 0xFF00;
  if (opcode == 0x0000) return;
  if (opcode >= 0x0008 && opcode <= 0x000B) {  // TBLRD*, *+, *-, +*: as the commands 1000..1011
    table_read(static_cast<std::uint8_t>(opcode));
    return;
  }
  if (opcode >= 0x000C && opcode <= 0x000F) {
    core_table_write(static_cast<std::uint8_t>(opcode));
    return;
  }
  if (high == 0x0E00) {  // MOVLW k
    w_ = f;
    if (stage == 1) unlock_stage_ = 3;
    return;
  }
  if (high == 0x6E00) {  // MOVWF f
    if (f == kEecon2) {
      if (w_ == 0x55) unlock_stage_ = 1;
      if (w_ == 0xAA && stage == 3) unlock_stage_ = 2;
    }
    if (f == kTablat) {
      tablat_before_ = tablat_;
      last_was_movwf_tablat_ = true;
    }
    write_register(f, w_);
    return;
  }
  if (high == 0x6A00) {  // CLRF f
    write_register(f, 0);
    return;
  }
  if (high == 0x5000) {  // MOVF f,W
    w_ = read_register(f);
    return;
  }
  if (high == 0x2A00 || high == 0x2800) {  // INCF f,F / INCF f,W
    const auto value = static_cast<std::uint8_t>(read_register(f) + 1);
    if (high == 0x2A00) {
      write_register(f, value);
    } else {
      w_ = value;
    }
    return;
  }
  if ((opcode & 0xE100) == 0x8000) {  // BSF f,b (0x8000) and BCF f,b (0x9000), access bank
    const bool set = (opcode & 0x1000) == 0;
    const int bit = (opcode >> 9) & 7;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    if (f != kEecon1) {
      write_register(f, set ? static_cast<std::uint8_t>(read_register(f) | mask)
                            : static_cast<std::uint8_t>(read_register(f) & ~mask));
      return;
    }
    if (mask == kEepgd) eepgd_known_ = true;
    if (mask == kCfgs) cfgs_known_ = true;
    if (mask == kWr) {
      if (set) {
        unlocked_ = stage == 2;
        set_wr();
        unlocked_ = false;
      }
      return;  // WR is cleared by hardware only
    }
    if (mask == kRd) {
      if (set) eeprom_read();
      return;  // RD is cleared by hardware at once
    }
    eecon1_ = set ? static_cast<std::uint8_t>(eecon1_ | mask) : static_cast<std::uint8_t>(eecon1_ & ~mask);
    return;
  }
  if (high == 0xEF00) {  // GOTO, first word
    goto_low_ = f;
    goto_second_word_ = true;
    return;
  }
  record(ViolationKind::unsupported_instruction, "core instruction " + hex(opcode, 4) + " is not modelled");
}

std::uint8_t ChipModel::read_register(std::uint8_t address) const {
  switch (address) {
    case kTblptrU:
      return static_cast<std::uint8_t>((tblptr_ >> 16) & 0x3F);
    case kTblptrH:
      return static_cast<std::uint8_t>(tblptr_ >> 8);
    case kTblptrL:
      return static_cast<std::uint8_t>(tblptr_);
    case kTablat:
      return tablat_;
    case kEecon1:
      return eecon1_;
    case kEecon2:
      return 0;
    case kEedata:
      return eedata_;
    case kEeadr:
      return eeadr_;
    case kEeadrh:
      return device_.has_eeadrh ? eeadrh_ : access_bank_[address];
    default:
      return access_bank_[address];
  }
}

void ChipModel::write_register(std::uint8_t address, std::uint8_t value) {
  switch (address) {
    case kTblptrU:
      tblptr_ = (tblptr_ & 0x00FFFF) | (static_cast<std::uint32_t>(value & 0x3F) << 16);
      tblptr_known_ |= 4;
      return;
    case kTblptrH:
      tblptr_ = (tblptr_ & 0x3F00FF) | (static_cast<std::uint32_t>(value) << 8);
      tblptr_known_ |= 2;
      return;
    case kTblptrL:
      tblptr_ = (tblptr_ & 0x3FFF00) | value;
      tblptr_known_ |= 1;
      return;
    case kTablat:
      tablat_ = value;
      return;
    case kEecon1: {
      // WR and RD can only be set; a whole-byte write sets both selection bits.
      eepgd_known_ = cfgs_known_ = true;
      const std::uint8_t keep = eecon1_ & (kWr | kRd);
      eecon1_ = static_cast<std::uint8_t>((value & ~(kWr | kRd)) | keep);
      if (value & kRd) eeprom_read();
      if (value & kWr) set_wr();
      return;
    }
    case kEecon2:
      return;
    case kEedata:
      eedata_ = value;
      return;
    case kEeadr:
      eeadr_ = value;
      return;
    case kEeadrh:
      if (device_.faa_is_baudctl) {
        record(ViolationKind::missing_register, "write to FAAh: this part has no EEADRH, FAAh is BAUDCTL");
        access_bank_[address] = value;
      } else if (device_.has_eeadrh) {
        eeadrh_ = value;
      }
      return;
    default:
      access_bank_[address] = value;
      return;
  }
}

std::uint32_t ChipModel::eeprom_address(const char* what) {
  std::uint32_t a = eeadr_;
  if (device_.has_eeadrh) a |= static_cast<std::uint32_t>(eeadrh_) << 8;
  if (a >= eeprom_.size()) {
    record(ViolationKind::eeprom_address_out_of_range,
           std::string(what) + " at " + hex(a, 4) + " beyond the EEPROM; the address wraps");
    a %= static_cast<std::uint32_t>(eeprom_.size());
  }
  return a;
}

bool ChipModel::selection_known(bool cfgs_only, const char* what) {
  // Only the bits that matter need to be known: CFGS alone selects configuration space.
  if ((eepgd_known_ || cfgs_only) && cfgs_known_) return true;
  record(ViolationKind::eecon1_undefined,
         std::string(what) + " before EEPGD/CFGS were set since entry; ignored");
  return false;
}

void ChipModel::eeprom_read() {
  if (!selection_known(false, "RD")) return;
  if (eecon1_ & (kEepgd | kCfgs)) {
    record(ViolationKind::wrong_eecon1_selection, "RD set with EEPGD or CFGS set; no EEPROM read");
    return;
  }
  if (eeprom_.empty()) return;
  const std::uint32_t a = eeprom_address("EEPROM read");
  const bool cpd = (config_[9] & 0x80) == 0;
  eedata_ = cpd ? 0 : eeprom_[a];  // a protected EEPROM reads 0 over ICSP
}

bool ChipModel::need_selection(bool want_eepgd, bool want_cfgs, const char* what) {
  if (!selection_known(want_cfgs, what)) return false;
  const bool eepgd = (eecon1_ & kEepgd) != 0;
  const bool cfgs = (eecon1_ & kCfgs) != 0;
  const bool ok = want_cfgs ? cfgs : (!cfgs && eepgd == want_eepgd);
  if (!ok) {
    record(ViolationKind::wrong_eecon1_selection, std::string(what) + " with EECON1 = " + hex(eecon1_, 2) +
                                                      " (EEPGD/CFGS select another memory); nothing written");
  }
  return ok;
}

void ChipModel::set_wr() {
  const FamilyRules& rules = rules_of(device_.family);
  if (pending_ != Pending::none || self_timed_busy_ || erase_busy_) {
    record(ViolationKind::write_while_busy, "BSF WR while a write or erase is still running; ignored");
    return;
  }
  if (!selection_known(false, "BSF WR")) return;
  const bool eepgd = (eecon1_ & kEepgd) != 0;
  const bool cfgs = (eecon1_ & kCfgs) != 0;
  const bool free = (eecon1_ & kFree) != 0;
  if ((eecon1_ & kWren) == 0) {
    record(ViolationKind::missing_wren, "BSF WR without WREN; nothing written");
    return;
  }
  if (cfgs || (eepgd && !free)) {
    record(ViolationKind::wrong_eecon1_selection,
           "BSF WR with EECON1 = " + hex(eecon1_, 2) +
               ": EEPGD/CFGS select code or configuration memory, which no ICSP sequence writes with WR "
               "(an EEPROM write needs EEPGD = CFGS = 0, a row erase EEPGD = FREE = 1); nothing written");
    return;
  }
  if (rules.needs_unlock && !unlocked_) {
    record(ViolationKind::missing_unlock,
           std::string(eepgd ? "row erase" : "EEPROM write") +
               " without 55h/AAh written to EECON2 right before BSF WR; nothing written");
    return;
  }
  if (eepgd) {  // row erase of the 64-byte row holding TBLPTR
    const std::uint32_t row = tblptr_ & ~(kRowEraseBytes - 1);
    if (rules.pnop_row_erase) {
      start_programming(Programming::row_erase, row, kP9);
      return;
    }
    pending_ = Pending::row_erase;
    pending_row_ = row;
  } else {
    if (eeprom_.empty()) {
      record(ViolationKind::write_outside_memory, "EEPROM write on a part without EEPROM");
      return;
    }
    pending_ = Pending::eeprom_write;
    pending_address_ = static_cast<std::uint16_t>(eeprom_address("EEPROM write"));
    pending_value_ = eedata_;
  }
  eecon1_ = static_cast<std::uint8_t>(eecon1_ | kWr);
  clocks_to_start_ = rules.start_clocks;
  nops_after_wr_ = 0;
}

void ChipModel::cancel_wr(const std::string& what) {
  record(ViolationKind::missing_nops_after_wr,
         "BSF WR followed by " + what +
             ": this family starts a self-timed write on the 4th clock of the second of two NOPs; nothing "
             "written");
  pending_ = Pending::none;
  eecon1_ = static_cast<std::uint8_t>(eecon1_ & ~kWr);
}

void ChipModel::start_self_timed(std::int64_t at_us) {
  const FamilyRules& rules = rules_of(device_.family);
  pending_kind_ = pending_;
  pending_ = Pending::none;
  self_timed_busy_ = true;
  self_timed_end_us_ =
      at_us + (pending_kind_ == Pending::eeprom_write ? rules.times.eeprom_write : rules.times.row_erase);
}

// ---------------------------------------------------------------------------------------
// Table reads and writes

std::uint32_t ChipModel::step_tblptr(std::uint32_t value, int delta) const {
  // Increments and decrements change bits 20:0 only: never into or out of 200000h.
  const std::uint32_t low = (value + static_cast<std::uint32_t>(delta)) & 0x1FFFFF;
  return (value & 0x200000) | low;
}

void ChipModel::check_tblptr(const char* what) {
  if (tblptr_known_ != 7)
    record(ViolationKind::tblptr_undefined, std::string(what) + " before TBLPTR was loaded since entry");
}

void ChipModel::table_read(std::uint8_t command) {
  check_tblptr("table read");
  if (command == 0xB) tblptr_ = step_tblptr(tblptr_, 1);
  tablat_ = icsp_read(tblptr_);
  if (command == 0x9) tblptr_ = step_tblptr(tblptr_, 1);
  if (command == 0xA) tblptr_ = step_tblptr(tblptr_, -1);
}

std::uint8_t ChipModel::icsp_read(std::uint32_t address) const {
  static_assert(devices::kFlashBase == 0);  // a code address is its index in flash_
  if (address < flash_.size()) {
    return code_protected(static_cast<std::int32_t>(address)) ? 0 : flash_[address];
  }
  if (address >= kIdBase && address < kIdBase + kIdBytes) return ids_[address - kIdBase];
  if (address >= kConfigBase && address < kConfigBase + kConfigBytes) return config_[address - kConfigBase];
  if (address == kDevidBase) return static_cast<std::uint8_t>(devid_ & 0xFF);
  if (address == kDevidBase + 1) return static_cast<std::uint8_t>(devid_ >> 8);
  return 0;  // unimplemented space reads 0
}

ChipModel::Target ChipModel::target_of(std::uint32_t address) const {
  const std::uint32_t controls = rules_of(device_.family).panel_register ? 3 : 2;
  if (address >= kControlBase && address < kControlBase + controls) return Target::control;
  if (address >= kConfigBase && address < kConfigBase + kConfigBytes) return Target::config;
  if (address < flash_.size() || (address >= kIdBase && address < kIdBase + kIdBytes)) return Target::holding;
  return Target::none;
}

void ChipModel::write_control(std::uint32_t address, std::uint8_t value) {
  control_[address - kControlBase] = value;
  control_written_ = static_cast<std::uint8_t>(control_written_ | 1u << (address - kControlBase));
  if (address == kControlBase + 2) {
    panel_mode_ = value;
    panel_mode_known_ = true;
  }
  if (address == kControlBase) {
    // The families that decode 3C0005h take it as the high byte of the erase value; what it
    // holds after entry is undefined, so it must have been written since.
    if (rules_of(device_.family).erase_by_bits && (control_written_ & 2) == 0) {
      record(ViolationKind::erase_key_undefined,
             "bulk erase triggered at 3C0004h while 3C0005h was not written since entry; no erase");
      return;
    }
    erase_stage_ = 1;
    erase_value_ = static_cast<std::uint16_t>((control_[1] << 8) | control_[0]);
  }
}

void ChipModel::load_holding(std::uint32_t address, std::uint8_t value) {
  const auto buffer = static_cast<std::uint32_t>(std::max(device_.write_buffer, 2));
  std::uint32_t offset = address % buffer;
  std::int32_t row = static_cast<std::int32_t>(address / buffer);
  if (device_.family == Family::fxx2 && address < flash_.size()) {
    offset += (address >> 13) * buffer;  // each 8 KB panel has its own buffer
    // In multi-panel mode the rows of every panel at one offset are loaded together.
    if (panel_mode_known_ && panel_mode_ == 0x40)
      row = static_cast<std::int32_t>((address & 0x1FFF) / buffer);
  }
  if (holding_row_ >= 0 && holding_row_ != row) {
    const std::uint32_t row_mask = ~(buffer - 1);
    record(
        ViolationKind::row_crossed,
        "table write at " + hex(address, 6) + " (row " + hex(address & row_mask, 6) + ") follows a load at " +
            hex(holding_last_, 6) + " (row " + hex(holding_last_ & row_mask, 6) +
            ") with no start-programming write between. From the first load on, TBLPTR must stay in the "
            "row that the next 1111 programs (docs/pic18-programming.md, Memories); the model holds to this "
            "also for "
            "a load whose bytes a later one overwrites, such as a 1101 FFFF that only steps TBLPTR past a "
            "programmed row, because the documents do not say that silicon discards a load made in another "
            "row. Step TBLPTR with table reads (1001) or reload it instead");
  }
  holding_row_ = row;
  holding_last_ = address;
  holding_[offset] = value;
}

bool ChipModel::may_start(bool config, const char* what) {
  if (!need_selection(true, config, what)) return false;
  if (rules_of(device_.family).wren_for_programming && (eecon1_ & kWren) == 0) {
    record(ViolationKind::missing_wren, std::string(what) + " without WREN; nothing written");
    return false;
  }
  return true;
}

void ChipModel::start_programming(Programming what, std::uint32_t address, std::int64_t min_us) {
  programming_ = what;
  programming_address_ = address;
  programming_min_us_ = min_us;
}

void ChipModel::start_config_write(std::uint32_t address, std::uint8_t value) {
  const FamilyRules& rules = rules_of(device_.family);
  if (!may_start(true, "configuration write")) return;
  if ((config_[11] & 0x20) == 0) {
    record(ViolationKind::config_write_protected,
           "configuration write at " + hex(address, 6) + " while WRTC = 0; nothing written");
    return;
  }
  if (rules.needs_goto_for_config && !pc_parked_) {
    record(ViolationKind::config_without_goto,
           "configuration write without GOTO 100000h since entry (the PC sits in code memory)");
  }
  start_programming(Programming::config_byte, address, rules.config_p9a ? kP9A : kP9);
  programming_value_ = value;
}

void ChipModel::start_code_write(std::uint32_t address) {
  if (!may_start(false, "code programming")) {
    holding_row_ = -1;
    return;
  }
  if (rules_of(device_.family).panel_register && !panel_mode_known_) {
    record(ViolationKind::panel_mode_undefined,
           "code programming before 3C0006h (single/multi-panel) was written since entry");
  }
  start_programming(Programming::code_row, address,
                    (address >= kIdBase && device_.family == Family::k22) ? kP9A : kP9);
}

void ChipModel::table_write(std::uint8_t command, std::uint16_t operand) {
  const FamilyRules& rules = rules_of(device_.family);
  check_tblptr("table write");
  const std::uint32_t address = tblptr_;
  const bool starts = command == 0xF || (command == 0xE && rules.tblwt_1110_programs);
  const auto lsb = static_cast<std::uint8_t>(operand & 0xFF);
  const auto msb = static_cast<std::uint8_t>(operand >> 8);
  // Registers and configuration bytes take the operand byte of their address's parity.
  const std::uint8_t parity_byte = (address & 1) ? msb : lsb;
  switch (target_of(address)) {
    case Target::control:
      write_control(address, parity_byte);
      break;
    case Target::config:
      if (starts) {
        start_config_write(address, parity_byte);
      } else {
        record(ViolationKind::config_write_not_1111,
               "table write " + hex(command, 1) + " at " + hex(address, 6) +
                   ": configuration bytes are written only with 1111, one byte each; nothing written");
      }
      break;
    case Target::holding:
      load_holding(address & ~1u, lsb);
      load_holding(address | 1u, msb);
      if (starts) start_code_write(address);
      break;
    case Target::none:
      record(ViolationKind::write_outside_memory,
             "table write at " + hex(address, 6) + ", which this part lacks");
      break;
  }
  if (command == 0xD) tblptr_ = step_tblptr(tblptr_, 2);
  if (command == 0xE) tblptr_ = step_tblptr(tblptr_, rules.tblwt_1110_programs ? 2 : -2);
}

void ChipModel::core_table_write(std::uint8_t low_nibble) {
  // TBLWT* 000C, *+ 000D, *- 000E, +* 000F: TABLAT into one byte, TBLPTR stepped by 1.
  check_tblptr("TBLWT");
  if (low_nibble == 0xF) tblptr_ = step_tblptr(tblptr_, 1);
  switch (target_of(tblptr_)) {
    case Target::control:
      write_control(tblptr_, tablat_);
      break;
    case Target::holding:
      load_holding(tblptr_, tablat_);
      break;
    case Target::config:
      record(ViolationKind::unsupported_instruction,
             "TBLWT to configuration space: the model writes configuration only with 1111");
      break;
    case Target::none:
      record(ViolationKind::write_outside_memory, "TBLWT at " + hex(tblptr_, 6) + ", which this part lacks");
      break;
  }
  if (low_nibble == 0xD) tblptr_ = step_tblptr(tblptr_, 1);
  if (low_nibble == 0xE) tblptr_ = step_tblptr(tblptr_, -1);
}

void ChipModel::program_code_row() {
  const auto buffer = static_cast<std::uint32_t>(std::max(device_.write_buffer, 2));
  const std::uint32_t address = programming_address_;
  if (address >= kIdBase) {
    const std::uint32_t base = kIdBase - kIdBase % buffer;
    for (std::uint32_t i = 0; i < kIdBytes; ++i) ids_[i] &= holding_[(kIdBase + i - base) % buffer];
    return;
  }
  auto program_row = [&](std::uint32_t row_base, std::uint32_t holding_base) {
    if (write_protected(static_cast<std::int32_t>(row_base))) return;
    for (std::uint32_t i = 0; i < buffer && row_base + i < flash_.size(); ++i) {
      flash_[row_base + i] &= holding_[holding_base + i];
    }
  };
  if (device_.family == Family::fxx2 && panel_mode_known_ && panel_mode_ == 0x40) {
    const std::uint32_t offset = (address & 0x1FFF) & ~(buffer - 1);
    const std::uint32_t panels = static_cast<std::uint32_t>(holding_.size()) / buffer;
    for (std::uint32_t p = 0; p < panels; ++p) program_row(p * 8192 + offset, p * buffer);
  } else if (device_.family == Family::fxx2) {
    program_row(address & ~(buffer - 1), (address >> 13) * buffer);
  } else {
    program_row(address & ~(buffer - 1), 0);
  }
}

void ChipModel::program_config() {
  const std::size_t i = programming_address_ - kConfigBase;
  const std::uint8_t mask = device_.config_mask[i];
  if (i >= 8) {
    // Protection bytes (CONFIG5L..7H): bits only go from 1 to 0 without an erase.
    config_[i] = static_cast<std::uint8_t>(config_[i] & programming_value_ & mask);
  } else {
    config_[i] = static_cast<std::uint8_t>(programming_value_ & mask);
  }
}

// ---------------------------------------------------------------------------------------
// Protection

std::int32_t ChipModel::block_of(std::int32_t address) const {
  if (address < device_.boot_block_size) return -1;
  const std::int32_t blocks = std::max(device_.code_blocks, 1);
  return std::min(address / std::max(device_.flash_size / blocks, 1), blocks - 1);
}

bool ChipModel::code_protected(std::int32_t address) const {
  const std::int32_t block = block_of(address);
  if (block < 0) return (config_[9] & 0x40) == 0;  // CPB
  return (config_[8] & (1 << block)) == 0;         // CPn
}

bool ChipModel::write_protected(std::int32_t address) const {
  if (code_protected(address)) return true;  // CPn also inhibits external writes
  const std::int32_t block = block_of(address);
  if (block < 0) return (config_[11] & 0x40) == 0;  // WRTB
  return (config_[10] & (1 << block)) == 0;         // WRTn
}

// ---------------------------------------------------------------------------------------
// Bulk erase

void ChipModel::start_bulk_erase(std::int64_t at_us) {
  const FamilyRules& rules = rules_of(device_.family);
  if (self_timed_busy_ || pending_ != Pending::none) {
    record(ViolationKind::write_while_busy, "bulk erase started while a self-timed write runs");
  }
  std::int64_t p11 = rules.times.p11;
  if (device_.family == Family::k22 && device_.flash_size <= 16384) p11 = 12000;
  erase_busy_ = true;
  erase_end_us_ = at_us + p11;
  erase_ignore_until_us_ = at_us + p11 + rules.times.p10;
}

void ChipModel::apply_erase(std::uint16_t value) {
  const FamilyRules& rules = rules_of(device_.family);
  auto erase_flash = [&](std::int32_t from, std::int32_t to) {
    for (std::int32_t a = std::max(from, 0); a < std::min(to, device_.flash_size); ++a) {
      flash_[static_cast<std::size_t>(a)] = 0xFF;
    }
  };
  const std::int32_t blocks = std::max(device_.code_blocks, 1);
  const std::int32_t block_size = device_.flash_size / blocks;
  auto erase_block = [&](std::int32_t n) {
    erase_flash(std::max(n * block_size, device_.boot_block_size), (n + 1) * block_size);
  };
  auto erase_config = [&] { config_ = device_.config_erased; };
  auto erase_eeprom = [&] { std::fill(eeprom_.begin(), eeprom_.end(), 0xFF); };
  auto erase_ids = [&] { ids_.fill(0xFF); };

  if (!rules.erase_by_bits) {
    const std::uint8_t code = static_cast<std::uint8_t>(value & 0xFF);
    if (code == 0x80) {
      erase_flash(0, device_.flash_size);
      erase_ids();
      erase_eeprom();
      erase_config();
    } else if (code == 0x81) {
      erase_eeprom();
    } else if (code == 0x83) {
      erase_flash(0, device_.boot_block_size);
    } else if (code >= 0x88 && code <= 0x8B) {
      const std::int32_t n = code - 0x88;
      if (device_.family == Family::fxx2) {
        erase_flash(n * 8192, (n + 1) * 8192);
      } else if (n < blocks) {
        erase_block(n);
      }
    } else {
      record(ViolationKind::bulk_erase_sequence,
             "erase control value " + hex(code, 2) + " is not one of this family");
    }
    return;
  }
  const std::uint8_t low = static_cast<std::uint8_t>(value & 0xFF);
  std::uint8_t high = static_cast<std::uint8_t>(value >> 8);
  if ((low & 0x80) == 0) {
    record(ViolationKind::bulk_erase_sequence,
           "erase control value " + hex(value, 4) + " lacks bit 7 of 3C0004h");
    return;
  }
  const bool cpd = (config_[9] & 0x80) == 0;
  const bool code_or_config = (low & 0x03) != 0 || high != 0;
  if (cpd && code_or_config && (low & 0x04) == 0) {
    record(ViolationKind::bulk_erase_sequence,
           "erase of code or configuration while CPD = 0 without the EEPROM (0084h); nothing erased");
    return;
  }
  if (device_.family == Family::k22 && high != 0) {
    bool any_protected = false;
    for (std::int32_t n = 0; n < blocks; ++n) any_protected |= (config_[8] & (1 << n)) == 0;
    if (any_protected) high = static_cast<std::uint8_t>((1 << blocks) - 1);
  }
  for (std::int32_t n = 0; n < blocks && n < 8; ++n) {
    if (high & (1 << n)) erase_block(n);
  }
  if (low & 0x01) erase_flash(0, device_.boot_block_size);
  if (low & 0x04) erase_eeprom();
  if (low & 0x08) erase_ids();
  if (low & 0x02) erase_config();
}

// ---------------------------------------------------------------------------------------
// Memories

void ChipModel::set_flash(std::int32_t address, std::uint8_t value) {
  if (address >= 0 && address < device_.flash_size) flash_[static_cast<std::size_t>(address)] = value;
}

void ChipModel::set_eeprom(std::int32_t address, std::uint8_t value) {
  if (address >= 0 && address < device_.eeprom_size) eeprom_[static_cast<std::size_t>(address)] = value;
}

void ChipModel::set_id(std::int32_t index, std::uint8_t value) {
  if (index >= 0 && index < static_cast<std::int32_t>(kIdBytes))
    ids_[static_cast<std::size_t>(index)] = value;
}

void ChipModel::set_config(std::int32_t index, std::uint8_t value) {
  if (index >= 0 && index < static_cast<std::int32_t>(kConfigBytes)) {
    const auto i = static_cast<std::size_t>(index);
    config_[i] = static_cast<std::uint8_t>(value & device_.config_mask[i]);
  }
}

void ChipModel::erase_row(std::uint32_t address) {
  const std::uint32_t row = address & ~(kRowEraseBytes - 1);
  if (write_protected(static_cast<std::int32_t>(row))) return;
  for (std::uint32_t i = 0; i < kRowEraseBytes && row + i < flash_.size(); ++i) flash_[row + i] = 0xFF;
}

void ChipModel::erase_all() {
  std::fill(flash_.begin(), flash_.end(), 0xFF);
  std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  ids_.fill(0xFF);
  config_ = device_.config_erased;
  devid_ = device_.devid;
}

void ChipModel::record(ViolationKind kind, std::string detail) {
  if (report_index_ >= 0) {
    for (auto it = violations_.rbegin(); it != violations_.rend() && it->report_index == report_index_;
         ++it) {
      if (it->kind == kind) return;
    }
  }
  violations_.push_back({kind, std::move(detail), report_index_, now_us_});
}

}  // namespace tessaflex::sim
