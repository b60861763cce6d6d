// The step sequences of pic18-icsp.md §4, written out by hand as reports to a virtual programmer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/report_layer.h"
#include "support/virtual_programmer.h"

namespace tessaflex::testing {

// A virtual programmer with a report layer on it, and one method per step of the
// programming documents' tables (C(xxxx), SETPTR, table writes, programming NOP, OUT) and
// per whole sequence of one family (bulk erase, row, EEPROM byte, configuration byte).
// Nothing here is taken from the device list or the engine: these are the sequences that
// a chip model must accept, written from the tables themselves.
class IcspSession {
 public:
  explicit IcspSession(std::string_view device) : vp(device), layer(vp) { vp.connect(); }

  Family family() const { return vp.device().family; }
  bool k_family() const { return family() == Family::k20 || family() == Family::k22; }
  bool old_family() const { return family() == Family::fxx2 || family() == Family::x220; }

  void enter() { layer.hid_begin(1); }
  void exit() { layer.hid_end(); }
  void set_p9(int ms) { layer.hid_setprogtime(ms); }

  // C(op): command 0000 with a core instruction.
  void core(std::uint16_t op) {
    layer.hid_send_command(0);
    layer.hid_send_word(op);
  }
  void setptr(std::uint32_t a) {
    core(static_cast<std::uint16_t>(0x0E00 | ((a >> 16) & 0xFF)));
    core(0x6EF8);
    core(static_cast<std::uint16_t>(0x0E00 | ((a >> 8) & 0xFF)));
    core(0x6EF7);
    core(static_cast<std::uint16_t>(0x0E00 | (a & 0xFF)));
    core(0x6EF6);
  }
  void table_write(int command, std::uint16_t operand) {
    layer.hid_send_command(command);
    layer.hid_send_word(operand);
  }
  void pnop() { layer.hid_startprog(); }
  // A 4-bit command followed by a byte read (OUT for 0010, table reads for 1000..1011).
  std::uint8_t read(int command) {
    layer.hid_send_command(command);
    std::int32_t value = -1;
    layer.hid_read_byte(value);
    return static_cast<std::uint8_t>(value);
  }

  // §4.1, including the bulk-erase wait: the 4 command clocks of a 0000 start the erase,
  // PGD stays low for P11 + P10, then the 16 operand bits follow.
  void bulk_erase() {
    switch (family()) {
      case Family::fxx2:
      case Family::x220:
        setptr(0x3C0004);
        table_write(0xC, 0x0080);
        break;
      case Family::f2xxx:
        setptr(0x3C0005);
        table_write(0xC, 0x3F3F);
        setptr(0x3C0004);
        table_write(0xC, 0x8F8F);
        break;
      case Family::k20:
      case Family::k22:
        setptr(0x3C0005);
        table_write(0xC, 0x0F0F);
        setptr(0x3C0004);
        table_write(0xC, 0x8F8F);
        break;
    }
    core(0x0000);
    layer.hid_send_command(0);
    vp.advance_ms(20);
    layer.hid_send_word(0x0000);
  }

  // §4.2 set-up, once before the rows.
  void code_setup() {
    switch (family()) {
      case Family::fxx2:
        core(0x8EA6);
        core(0x8CA6);
        core(0x84A6);
        setptr(0x3C0006);
        table_write(0xC, 0x0000);
        core(0x8EA6);
        core(0x9CA6);
        break;
      case Family::x220:
      case Family::f2xxx:
        core(0x8EA6);
        core(0x9CA6);
        break;
      case Family::k20:
      case Family::k22:
        core(0x8EA6);
        core(0x9CA6);
        core(0x84A6);
        break;
    }
  }

  // §4.2 per row: SETPTR(row), 1101 for every word but the last, 1111 with the last, PNOP.
  // bytes holds one write buffer; the even-address byte goes in bits 0..7.
  void program_row(std::uint32_t row, const std::vector<std::uint8_t>& bytes) {
    setptr(row);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 2) table_write(0xD, word(bytes, i));
    table_write(0xF, word(bytes, bytes.size() - 2));
    pnop();
  }

  // §4.3: one data EEPROM byte, with the family's address, unlock, start and completion.
  // unlock false leaves out the 55h/AAh sequence, wren false the BSF WREN.
  void write_eeprom(std::uint16_t address, std::uint8_t value, bool unlock = true, bool wren = true) {
    core(0x9EA6);
    core(0x9CA6);
    core(static_cast<std::uint16_t>(0x0E00 | (address & 0xFF)));
    core(0x6EA9);
    if (family() != Family::x220) {
      core(static_cast<std::uint16_t>(0x0E00 | (address >> 8)));
      core(0x6EAA);
    }
    core(static_cast<std::uint16_t>(0x0E00 | value));
    core(0x6EA8);
    if (wren) core(0x84A6);
    if (old_family() && unlock) {
      core(0x0E55);
      core(0x6EA7);
      core(0x0EAA);
      core(0x6EA7);
    }
    core(0x82A6);
    if (family() == Family::x220 || k_family()) {
      core(0x0000);
      core(0x0000);
    }
    if (family() == Family::x220) {
      vp.advance_ms(10);
    } else {
      for (int poll = 0; poll < 100 && (poll_eecon1() & 0x02) != 0; ++poll) {
      }
    }
    core(0x94A6);
  }

  // One completion poll: EECON1 through TABLAT (with the NOP where the family has it).
  std::uint8_t poll_eecon1() {
    core(0x50A6);
    core(0x6EF5);
    if (family() != Family::fxx2) core(0x0000);
    return read(0x2);
  }

  // §4.5: one data EEPROM byte.
  std::uint8_t read_eeprom(std::uint16_t address) {
    core(0x9EA6);
    core(0x9CA6);
    core(static_cast<std::uint16_t>(0x0E00 | (address & 0xFF)));
    core(0x6EA9);
    if (family() != Family::x220) {
      core(static_cast<std::uint16_t>(0x0E00 | (address >> 8)));
      core(0x6EAA);
    }
    core(0x80A6);
    core(0x50A8);
    core(0x6EF5);
    core(0x0000);
    return read(0x2);
  }

  // §4.4 set-up, once before the configuration bytes (P9A set for K20/K22).
  void config_setup() {
    core(0x8EA6);
    core(0x8CA6);
    if (k_family()) {
      core(0x84A6);
      set_p9(5);
    }
    if (old_family()) {
      core(0xEF00);
      core(0xF800);
    }
  }

  // §4.4 per byte: SETPTR(3000xx) TW1111(vv vv) PNOP; index 0 is CONFIG1L.
  void write_config(int index, std::uint8_t value) {
    setptr(0x300000 + static_cast<std::uint32_t>(index));
    table_write(0xF, static_cast<std::uint16_t>(value << 8 | value));
    pnop();
  }

  // §4.5: SETPTR(a), then one 1001 per byte.
  std::vector<std::uint8_t> read_memory(std::uint32_t address, std::size_t count) {
    setptr(address);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(read(0x9));
    return bytes;
  }

  VirtualProgrammer vp;
  link::ReportLayer layer;

 private:
  static std::uint16_t word(const std::vector<std::uint8_t>& bytes, std::size_t i) {
    return static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
};

}  // namespace tessaflex::testing
