// The programmer and its PIC18 chip in software (stub, being written).
#include "support/virtual_programmer.h"

#include <stdexcept>

namespace tessaflex::testing {
namespace {
const ChipDevice& lookup(std::string_view name) {
  const ChipDevice* d = find_chip_device(name);
  if (!d) throw std::invalid_argument("no chip named " + std::string(name));
  return *d;
}
}  // namespace

VirtualProgrammer::VirtualProgrammer(std::string_view device_name) : chip_(lookup(device_name)) {}
VirtualProgrammer::VirtualProgrammer(const ChipDevice& device) : chip_(device) {}
void VirtualProgrammer::terminal_vendor_id(std::int32_t v) { vendor_id_ = v; }
void VirtualProgrammer::terminal_product_id(std::int32_t p) { product_id_ = p; }
void VirtualProgrammer::terminal_connect() {
  ++connect_attempts_;
  connected_ = present_ && openable_ && vendor_id_ == kVendorId && product_id_ == kProductId;
  found_not_opened_ = present_ && !openable_ && vendor_id_ == kVendorId && product_id_ == kProductId;
}
bool VirtualProgrammer::terminal_write(const link::Report& report) {
  if (!connected_) return false;
  reports_.push_back(report);
  ++counts_[report[0]];
  now_us_ += kReportUs;
  return true;
}
bool VirtualProgrammer::terminal_read(link::Report&) { return false; }
void VirtualProgrammer::connect() {
  terminal_vendor_id(kVendorId);
  terminal_product_id(kProductId);
  terminal_connect();
}
void VirtualProgrammer::load_flash(std::int32_t address, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) chip_.set_flash(address + static_cast<std::int32_t>(i), bytes[i]);
}
bool VirtualProgrammer::has_violation(ViolationKind kind) const { return violation_count(kind) > 0; }
std::int64_t VirtualProgrammer::violation_count(ViolationKind kind) const {
  std::int64_t n = 0;
  for (const Violation& v : violations()) n += v.kind == kind ? 1 : 0;
  return n;
}
std::string VirtualProgrammer::violations_text() const { return {}; }
void VirtualProgrammer::clear_log() {
  reports_.clear();
  counts_.fill(0);
  answered_reads_ = unanswered_reads_ = 0;
  chip_.clear_violations();
}
void VirtualProgrammer::disconnect_after(std::int64_t reports) { writes_before_disconnect_ = reports; }
void VirtualProgrammer::unplug() { connected_ = false; present_ = false; }
void VirtualProgrammer::advance_ms(std::int64_t ms) { now_us_ += ms > 0 ? ms * 1000 : 0; }
std::function<void(std::int64_t)> VirtualProgrammer::sleep_hook() {
  return [this](std::int64_t ms) { advance_ms(ms); };
}
void VirtualProgrammer::run_firmware(const link::Report&) {}
void VirtualProgrammer::clock_bits(std::uint32_t, int) {}
void VirtualProgrammer::lose_device() {}

}  // namespace tessaflex::testing
