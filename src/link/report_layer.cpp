// The 8-byte reports to the programmer: power, ICSP command, operand, read, programming.
#include "link/report_layer.h"

namespace tessaflex::link {

AddressBytes split_address(std::int32_t address) {
  // Floor division, so the bytes are right for any address the caller can hold.
  auto floor_div = [](std::int32_t a, std::int32_t b) {
    std::int32_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
  };
  AddressBytes bytes;
  bytes.upper = floor_div(address, 65536);
  const std::int32_t rest = address % 65536;
  bytes.high = floor_div(rest, 256);
  bytes.low = rest % 256;
  return bytes;
}

LinkStatus ReportLayer::send(std::uint8_t code, std::int32_t byte1, std::int32_t byte2) {
  hid_report_.fill(0);
  hid_report_[0] = code;
  hid_report_[1] = static_cast<std::uint8_t>(byte1);
  hid_report_[2] = static_cast<std::uint8_t>(byte2);
  return terminal_.terminal_write(hid_report_) ? LinkStatus::ok : LinkStatus::failed;
}

LinkStatus ReportLayer::hid_begin(std::int32_t voltage_seq) {
  // An unknown power-up order sends eight zero bytes, which the firmware ignores.
  std::uint8_t code = 0;
  if (voltage_seq == 1) code = report_begin_vddvpp;
  if (voltage_seq == 2) code = report_begin_vppvdd;
  return send(code);
}

LinkStatus ReportLayer::hid_end() { return send(report_end); }

LinkStatus ReportLayer::hid_send_command(std::int32_t code) {
  if (code < 0 || code > 255) return LinkStatus::refused;
  return send(report_command, code);
}

LinkStatus ReportLayer::hid_send_word(std::int32_t word) {
  if (word < 0 || word > 65535) return LinkStatus::refused;
  return send(report_word, word % 256, word / 256);
}

LinkStatus ReportLayer::hid_read_byte(std::int32_t& value) {
  // One write and one read, whatever the write gave: the value is byte 1 of the buffer after
  // the read, which a failed read leaves at the 0 of the cleared request.
  const LinkStatus written = send(report_read);
  const bool read = terminal_.terminal_read(hid_report_);
  value = hid_report_[1];
  return written == LinkStatus::ok && read ? LinkStatus::ok : LinkStatus::failed;
}

LinkStatus ReportLayer::hid_startprog() { return send(report_startprog); }

LinkStatus ReportLayer::hid_setprogtime(std::int32_t prog_time) {
  if (prog_time < 0 || prog_time > 255) return LinkStatus::refused;
  return send(report_setprogtime, prog_time);
}

}  // namespace tessaflex::link
