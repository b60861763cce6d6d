// The programmer and its PIC18 chip in software: a HidTerminal that turns reports into ICSP signals.
//
// Usage:
//
//   tessaflex::sim::VirtualProgrammer vp("18F452");   // erased chip, not yet connected
//   host.on_sleep = vp.sleep_hook();                 // the host's sleep advances the programmer's clock
//   vp.connect();                                    // or set the IDs and call terminal_connect()
//   tessaflex::link::ReportLayer layer(vp);
//   ... run reports or a whole engine run through layer ...
//   EXPECT_TRUE(vp.violations().empty()) << vp.violations_text();
//   EXPECT_EQ(vp.flash()[0], 0x12);
//   EXPECT_EQ(vp.count(tessaflex::link::report_startprog), 4096);
//
// Every report goes to a model of the programmer's firmware (its codes are those of
// link/report_layer.h), which drives the chip model's pins (sim/chip_model.h) at the level
// of clocked bits. Time is simulated: each report costs one 1 ms USB frame, a programming
// NOP (109) also costs P9 + P10, and the host's sleep advances the same clock; nothing ever
// sleeps for real.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/hid_terminal.h"
#include "sim/chip_devices.h"
#include "sim/chip_model.h"
#include "sim/icsp_violation.h"

namespace tessaflex::sim {

class VirtualProgrammer : public link::HidTerminal {
 public:
  // The USB IDs the virtual programmer answers to (the program's defaults).
  static constexpr std::int32_t kVendorId = 0x2345;
  static constexpr std::int32_t kProductId = 0x2345;
  // One USB frame: the simulated cost of every report.
  static constexpr std::int64_t kReportUs = 1000;
  // PGC low time after a programming NOP: the largest P10 of any family, as a firmware
  // that does not know the family must use.
  static constexpr std::int64_t kDefaultP10Us = 200;

  // A programmer holding an erased part of the device table ("18F452", "PIC18F46K22";
  // see find_chip_device). Throws std::invalid_argument for a name not in the table.
  explicit VirtualProgrammer(std::string_view device_name);
  // A programmer holding an erased part described by device (any record, also a
  // hand-made one).
  explicit VirtualProgrammer(const ChipDevice& device);

  // --- HidTerminal ----------------------------------------------------------------------
  void terminal_vendor_id(std::int32_t vendor_id) override;
  void terminal_product_id(std::int32_t product_id) override;
  // Connects when the programmer is present, openable and the IDs are kVendorId/kProductId.
  void terminal_connect() override;
  bool terminal_connected() const override { return connected_; }
  // Delivers the report to the firmware (true), or false when not connected or when the
  // disconnect fault fires (the programmer is then gone and the chip unpowered).
  bool terminal_write(const link::Report& report) override;
  // The answer to the last 110 report since the last write, or false (bytes untouched)
  // when there is none, a dropped-read fault fires, or the programmer is gone.
  bool terminal_read(link::Report& report) override;
  bool terminal_found_but_not_opened() const override { return found_not_opened_; }

  // --- USB ------------------------------------------------------------------------------
  // The IDs 2345/2345 set and terminal_connect called, as connect_hardware does.
  void connect();
  // Whether the programmer is plugged in (default true) and can be opened (default true).
  void set_present(bool present) { present_ = present; }
  void set_openable(bool openable) { openable_ = openable; }
  std::int32_t vendor_id() const { return vendor_id_; }  // last value set, 0 before
  std::int32_t product_id() const { return product_id_; }
  int connect_attempts() const { return connect_attempts_; }

  // --- Chip -----------------------------------------------------------------------------
  const ChipDevice& device() const { return chip_.device(); }
  ChipModel& chip() { return chip_; }
  const ChipModel& chip() const { return chip_; }
  const std::vector<std::uint8_t>& flash() const { return chip_.flash(); }
  const std::vector<std::uint8_t>& eeprom() const { return chip_.eeprom(); }
  // CONFIG1L..CONFIG7H, index 0 = CONFIG1L; unimplemented bytes 00.
  const std::array<std::uint8_t, devices::kConfigBytes>& config() const { return chip_.config(); }
  const std::array<std::uint8_t, 8>& ids() const { return chip_.ids(); }
  std::uint16_t devid() const { return chip_.devid(); }
  // Preloading the cells, no protocol involved (see ChipModel).
  void set_flash(std::int32_t address, std::uint8_t value) { chip_.set_flash(address, value); }
  void load_flash(std::int32_t address, const std::vector<std::uint8_t>& bytes);
  void set_eeprom(std::int32_t address, std::uint8_t value) { chip_.set_eeprom(address, value); }
  void set_config(std::int32_t index, std::uint8_t value) { chip_.set_config(index, value); }
  void set_id(std::int32_t index, std::uint8_t value) { chip_.set_id(index, value); }
  void set_devid(std::uint16_t devid) { chip_.set_devid(devid); }
  bool powered() const { return chip_.powered(); }
  bool in_program_mode() const { return chip_.in_program_mode(); }

  // --- Firmware -------------------------------------------------------------------------
  // P9 as the last 111 report set it (0 until one arrives: an algorithm must set it).
  std::int64_t p9_ms() const { return p9_ms_; }
  // The PGC low time the firmware keeps after a programming NOP.
  void set_p10_us(std::int64_t p10_us) { p10_us_ = p10_us; }

  // --- Log ------------------------------------------------------------------------------
  // Every report delivered to the firmware, in order.
  const std::vector<link::Report>& reports() const { return reports_; }
  // How many delivered reports carried code in byte 0.
  std::int64_t count(std::uint8_t code) const { return counts_[code]; }
  // Firmware errors and chip protocol violations, in the order they happened.
  const std::vector<Violation>& violations() const { return chip_.violations(); }
  bool has_violation(ViolationKind kind) const;
  std::int64_t violation_count(ViolationKind kind) const;
  // One line per violation ("report 12 at 13000 us: missing_unlock: ..."), for messages.
  std::string violations_text() const;
  std::int64_t answered_reads() const { return answered_reads_; }
  std::int64_t unanswered_reads() const { return unanswered_reads_; }
  // Forgets reports, counts, read tallies and violations; chip and faults stay.
  void clear_log();

  // --- Faults ---------------------------------------------------------------------------
  // The next `reports` writes are delivered; the one after fails and the programmer is
  // gone (terminal_connected false, the chip unpowered) until set_present and connect.
  void disconnect_after(std::int64_t reports);
  // Gone now: the same as disconnect_after(0) followed by a write.
  void unplug();
  // The next `count` reads get no answer (the 110 report still reached the chip).
  void drop_reads(std::int64_t count) { reads_to_drop_ += count; }
  // While set, no read gets an answer.
  void set_reads_unanswered(bool unanswered) { all_reads_unanswered_ = unanswered; }
  // While set, WR never clears after a data EEPROM write or self-timed row erase.
  void set_wr_stuck(bool stuck) { chip_.set_wr_stuck(stuck); }

  // --- Time -----------------------------------------------------------------------------
  std::int64_t now_us() const { return now_us_; }
  double now_ms() const { return static_cast<double>(now_us_) / 1000.0; }
  // Lets simulated time pass (the host's sleep); negative values count as 0.
  void advance_ms(std::int64_t milliseconds);
  // A function that advances this clock by its argument in milliseconds: a host's sleep
  // calls it, so the engine's waits pass in simulated time.
  std::function<void(std::int64_t)> sleep_hook();

 private:
  void run_firmware(const link::Report& report);
  void clock_bits(std::uint32_t bits, int count);
  void lose_device();

  ChipModel chip_;
  bool present_ = true;
  bool openable_ = true;
  bool connected_ = false;
  bool found_not_opened_ = false;
  std::int32_t vendor_id_ = 0;
  std::int32_t product_id_ = 0;
  int connect_attempts_ = 0;

  std::int64_t p9_ms_ = 0;
  std::int64_t p10_us_ = kDefaultP10Us;
  std::int64_t now_us_ = 0;
  std::int64_t cursor_us_ = 0;  // where the next clock edge may go inside the current frame

  bool answer_ready_ = false;
  link::Report answer_{};

  std::vector<link::Report> reports_;
  std::array<std::int64_t, 256> counts_{};
  std::int64_t answered_reads_ = 0;
  std::int64_t unanswered_reads_ = 0;

  std::int64_t writes_before_disconnect_ = -1;  // -1: no fault armed
  std::int64_t reads_to_drop_ = 0;
  bool all_reads_unanswered_ = false;
};

}  // namespace tessaflex::sim
