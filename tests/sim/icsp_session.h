// The step sequences of pic18-icsp.md §4, written out by hand as reports to a virtual programmer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "link/report_layer.h"
#include "sim/virtual_programmer.h"

namespace tessaflex::sim {

// One method per step or sequence of the programming documents, none from the device list.
class IcspSession {
 public:
  explicit IcspSession(std::string_view device) : vp(device), layer(vp) { vp.connect(); }

  Family family() const { return vp.device().family; }
  bool k_family() const { return family() == Family::k20 || family() == Family::k22; }
  bool old_family() const { return family() == Family::fxx2 || family() == Family::x220; }
  std::size_t buffer() const { return static_cast<std::size_t>(vp.device().write_buffer); }

  void enter() { layer.hid_begin(1); }
  void exit() { layer.hid_end(); }
  void set_p9(int ms) { layer.hid_setprogtime(ms); }
  void command(int code) { layer.hid_send_command(code); }
  void word(int operand) { layer.hid_send_word(operand); }
  void pnop() { layer.hid_startprog(); }
  void table_write(int code, std::uint16_t operand) { command(code), word(operand); }
  void core(std::initializer_list<std::uint16_t> ops) {
    for (std::uint16_t op : ops) table_write(0, op);
  }
  static std::uint16_t movlw(std::uint32_t k) { return static_cast<std::uint16_t>(0x0E00 | (k & 0xFF)); }
  void setptr(std::uint32_t a) { core({movlw(a >> 16), 0x6EF8, movlw(a >> 8), 0x6EF7, movlw(a), 0x6EF6}); }
  std::uint8_t read(int code) {
    command(code);
    std::int32_t value = -1;
    layer.hid_read_byte(value);
    return static_cast<std::uint8_t>(value);
  }

  // Up to the 4 command clocks of the second 0000, on whose 4th the chip starts erasing.
  void start_bulk_erase() {
    if (!old_family()) setptr(0x3C0005), table_write(0xC, family() == Family::f2xxx ? 0x3F3F : 0x0F0F);
    setptr(0x3C0004), table_write(0xC, old_family() ? 0x0080 : 0x8F8F), core({0x0000}), command(0);
  }
  void bulk_erase() { start_bulk_erase(), vp.advance_ms(20), word(0); }  // PGD low for P11 + P10

  void code_setup() {
    if (family() == Family::fxx2) core({0x8EA6, 0x8CA6, 0x84A6}), setptr(0x3C0006), table_write(0xC, 0);
    core({0x8EA6, 0x9CA6});
    if (k_family()) core({0x84A6});
  }
  void program_row(std::uint32_t row, const std::vector<std::uint8_t>& bytes, bool setptr_first = true) {
    if (setptr_first) setptr(row);
    for (std::size_t i = 0; i < bytes.size(); i += 2)
      table_write(i + 2 < bytes.size() ? 0xD : 0xF,
                  static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
    pnop();
  }

  void select_eeprom(std::uint16_t address) {
    core({0x9EA6, 0x9CA6, movlw(address), 0x6EA9});
    if (family() != Family::x220) core({movlw(address >> 8), 0x6EAA});
  }
  // The family's unlock, start and completion (X220 waits, the rest poll WR).
  void write_eeprom(std::uint16_t address, std::uint8_t value, bool unlock = true, bool wren = true) {
    select_eeprom(address), core({movlw(value), 0x6EA8});
    if (wren) core({0x84A6});
    if (old_family() && unlock) core({0x0E55, 0x6EA7, 0x0EAA, 0x6EA7});
    core({0x82A6});
    if (family() == Family::x220 || k_family()) core({0x0000, 0x0000});
    if (family() == Family::x220) vp.advance_ms(10);
    for (int poll = 0; family() != Family::x220 && poll < 100 && (poll_eecon1() & 0x02) != 0; ++poll) {
    }
    core({0x94A6});
  }
  std::uint8_t poll_eecon1() {
    core({0x50A6, 0x6EF5});
    if (family() != Family::fxx2) core({0x0000});
    return read(0x2);
  }
  std::uint8_t read_eeprom(std::uint16_t address) {
    select_eeprom(address), core({0x80A6, 0x50A8, 0x6EF5, 0x0000});
    return read(0x2);
  }

  void config_setup() {
    core({0x8EA6, 0x8CA6});
    if (k_family()) core({0x84A6}), set_p9(5);
    if (old_family()) core({0xEF00, 0xF800});
  }
  void write_config(int index, std::uint8_t value) {
    setptr(0x300000 + static_cast<std::uint32_t>(index));
    table_write(0xF, static_cast<std::uint16_t>(value << 8 | value)), pnop();
  }
  std::vector<std::uint8_t> read_memory(std::uint32_t address, std::size_t count) {
    setptr(address);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(read(0x9));
    return bytes;
  }

  VirtualProgrammer vp;
  link::ReportLayer layer;
};

}  // namespace tessaflex::sim
