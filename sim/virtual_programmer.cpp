// The programmer and its PIC18 chip in software: a HidTerminal that turns reports into ICSP signals.
#include "sim/virtual_programmer.h"

#include <stdexcept>

namespace tessaflex::sim {
namespace {

const ChipDevice& lookup(std::string_view name) {
  const ChipDevice* device = find_chip_device(name);
  if (device == nullptr)
    throw std::invalid_argument("no chip named " + std::string(name) + " in the device table");
  return *device;
}

// One ordinary PGC pulse: high for 1 us, low for 1 us (far slower than P2 allows).
constexpr std::int64_t kHalfClockUs = 1;

}  // namespace

VirtualProgrammer::VirtualProgrammer(std::string_view device_name) : chip_(lookup(device_name)) {}

VirtualProgrammer::VirtualProgrammer(const ChipDevice& device) : chip_(device) {}

void VirtualProgrammer::terminal_vendor_id(std::int32_t vendor_id) { vendor_id_ = vendor_id; }

void VirtualProgrammer::terminal_product_id(std::int32_t product_id) { product_id_ = product_id; }

void VirtualProgrammer::terminal_connect() {
  ++connect_attempts_;
  const bool found = present_ && vendor_id_ == kVendorId && product_id_ == kProductId;
  connected_ = found && openable_;
  found_not_opened_ = found && !openable_;
}

void VirtualProgrammer::connect() {
  terminal_vendor_id(kVendorId);
  terminal_product_id(kProductId);
  terminal_connect();
}

bool VirtualProgrammer::terminal_write(const link::Report& report) {
  if (!connected_) return false;
  if (writes_before_disconnect_ == 0) {
    writes_before_disconnect_ = -1;
    lose_device();
    return false;
  }
  if (writes_before_disconnect_ > 0) --writes_before_disconnect_;
  // A terminal drains stale input before each exchange: an unread answer is gone.
  answer_ready_ = false;
  chip_.set_report_index(static_cast<std::int64_t>(reports_.size()));
  reports_.push_back(report);
  ++counts_[report[0]];
  run_firmware(report);
  return true;
}

bool VirtualProgrammer::terminal_read(link::Report& report) {
  if (!connected_) return false;
  const bool dropped = all_reads_unanswered_ || reads_to_drop_ > 0;
  if (reads_to_drop_ > 0) --reads_to_drop_;
  if (dropped || !answer_ready_) {
    answer_ready_ = false;
    ++unanswered_reads_;
    return false;
  }
  answer_ready_ = false;
  report = answer_;
  ++answered_reads_;
  return true;
}

void VirtualProgrammer::clock_bits(std::uint32_t bits, int count) {
  for (int i = 0; i < count; ++i) {
    const Pgd level = ((bits >> i) & 1) != 0 ? Pgd::high : Pgd::low;
    chip_.clock(level, cursor_us_, cursor_us_ + kHalfClockUs);
    cursor_us_ += 2 * kHalfClockUs;
  }
}

void VirtualProgrammer::run_firmware(const link::Report& report) {
  const std::int64_t start = now_us_;
  std::int64_t cost = kReportUs;
  cursor_us_ = start;
  chip_.advance_to(start);
  // The codes are the firmware's, written out rather than taken from link::ReportCode, so
  // that the program's codes are checked against them and not against themselves.
  switch (report[0]) {
    case 101:
      chip_.power_up(true, start);
      break;
    case 102:
      chip_.power_up(false, start);
      break;
    case 103:
      chip_.power_down(start);
      break;
    case 107:
      if (report[1] > 15) {
        chip_.record(
            ViolationKind::command_out_of_range,
            "report 107 with command " + std::to_string(report[1]) + ": only 0..15 are 4-bit commands");
      }
      clock_bits(report[1], 4);
      break;
    case 108:
      clock_bits(static_cast<std::uint32_t>(report[1] | (report[2] << 8)), 16);
      break;
    case 109: {
      clock_bits(0, 3);
      const std::int64_t p9_us = p9_ms_ * 1000;
      const std::int64_t high = p9_us > kHalfClockUs ? p9_us : kHalfClockUs;
      chip_.clock(Pgd::low, cursor_us_, cursor_us_ + high);
      cursor_us_ += high + p10_us_;
      clock_bits(0, 16);
      cost += p9_us + p10_us_;
      break;
    }
    case 110: {
      clock_bits(0, 8);
      std::uint8_t value = 0;
      for (int i = 0; i < 8; ++i) {
        // A released PGD that the chip does not drive reads as 0.
        const int bit = chip_.clock(Pgd::released, cursor_us_, cursor_us_ + kHalfClockUs);
        cursor_us_ += 2 * kHalfClockUs;
        if (bit > 0) value = static_cast<std::uint8_t>(value | (1 << i));
      }
      answer_.fill(0);
      answer_[0] = 110;
      answer_[1] = value;
      answer_ready_ = true;
      break;
    }
    case 111:
      p9_ms_ = report[1];
      break;
    default:
      chip_.record(ViolationKind::unknown_report,
                   "report code " + std::to_string(report[0]) + " has no firmware action; ignored");
      break;
  }
  now_us_ = start + cost;
  chip_.advance_to(now_us_);
}

void VirtualProgrammer::lose_device() {
  connected_ = false;
  present_ = false;
  answer_ready_ = false;
  // The programmer went away with the target's supply.
  chip_.power_down(now_us_);
}

void VirtualProgrammer::load_flash(std::int32_t address, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i)
    chip_.set_flash(address + static_cast<std::int32_t>(i), bytes[i]);
}

bool VirtualProgrammer::has_violation(ViolationKind kind) const { return violation_count(kind) > 0; }

std::int64_t VirtualProgrammer::violation_count(ViolationKind kind) const {
  std::int64_t n = 0;
  for (const Violation& v : violations()) n += v.kind == kind ? 1 : 0;
  return n;
}

std::string VirtualProgrammer::violations_text() const {
  std::string text;
  for (const Violation& v : violations()) {
    text += "report " + std::to_string(v.report_index) + " at " + std::to_string(v.at_us) +
            " us: " + std::string(violation_name(v.kind)) + ": " + v.detail + "\n";
  }
  return text;
}

void VirtualProgrammer::clear_log() {
  reports_.clear();
  counts_.fill(0);
  answered_reads_ = 0;
  unanswered_reads_ = 0;
  chip_.clear_violations();
}

void VirtualProgrammer::disconnect_after(std::int64_t reports) {
  writes_before_disconnect_ = reports < 0 ? 0 : reports;
}

void VirtualProgrammer::unplug() {
  if (connected_) {
    lose_device();
  } else {
    present_ = false;
  }
}

void VirtualProgrammer::advance_ms(std::int64_t milliseconds) {
  if (milliseconds > 0) now_us_ += milliseconds * 1000;
  chip_.advance_to(now_us_);
}

std::function<void(std::int64_t)> VirtualProgrammer::sleep_hook() {
  return [this](std::int64_t milliseconds) { advance_ms(milliseconds); };
}

}  // namespace tessaflex::sim
