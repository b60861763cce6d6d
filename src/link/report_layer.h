// The 8-byte reports to the programmer: power, ICSP command, operand, read, programming.
#pragma once

#include <cstdint>

#include "link/hid_terminal.h"

namespace tessaflex::link {

// Report codes of the programmer's firmware.
enum ReportCode : std::uint8_t {
  report_begin_vddvpp = 101,
  report_begin_vppvdd = 102,
  report_end = 103,
  report_command = 107,
  report_word = 108,
  report_startprog = 109,
  report_read = 110,
  report_setprogtime = 111,
};

// What became of one exchange.
enum class LinkStatus {
  ok,       // the report went out (and, for a read, the answer came back)
  refused,  // an argument did not fit its byte: nothing was sent
  failed,   // the terminal refused the write or gave no answer
};

// The three bytes a MOVLW loads for a byte address: bits 16 and up, 8..15 and 0..7.
struct AddressBytes {
  std::int32_t upper = 0;
  std::int32_t high = 0;
  std::int32_t low = 0;
};
AddressBytes split_address(std::int32_t address);

// Builds every report in one reused buffer (all eight bytes cleared first) and hands it
// to the terminal in one write. No queue, no retry, no allocation per exchange.
class ReportLayer {
 public:
  explicit ReportLayer(HidTerminal& terminal) : terminal_(terminal) {}

  // Power-up in the order of voltage_seq (1: Vdd first, 2: Vpp first); any other order
  // sends eight zero bytes.
  LinkStatus hid_begin(std::int32_t voltage_seq);
  LinkStatus hid_end();
  // A command code 0..255.
  LinkStatus hid_send_command(std::int32_t code);
  // An operand 0..65535, low byte first.
  LinkStatus hid_send_word(std::int32_t word);
  // Reads one byte: writes the request, then reads one input report into the same buffer
  // (also after a failed write), and value := byte 1 of the buffer (0..255), byte 0 of the
  // answer unlooked at. A failed read leaves value 0 (byte 1 of the cleared request); the
  // status is failed when either call failed.
  LinkStatus hid_read_byte(std::int32_t& value);
  LinkStatus hid_startprog();
  // A programming time 0..255 milliseconds.
  LinkStatus hid_setprogtime(std::int32_t prog_time);
  // Called after every command, operand and read; a hook that does nothing today.
  void hid_pause() {}

  const Report& hid_report() const { return hid_report_; }

 private:
  LinkStatus send(std::uint8_t code, std::int32_t byte1 = 0, std::int32_t byte2 = 0);
  HidTerminal& terminal_;
  Report hid_report_{};
};

}  // namespace tessaflex::link
