// The programmer's HID terminal on hidapi (hidraw backend): one 8-byte report per write or read.
#include "link/hidapi_terminal.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <array>

namespace tessaflex::link {
namespace {

bool valid_id(std::int32_t id) { return id >= 0 && id <= 0xFFFF; }

// hid_enumerate takes 0 as "any": only a device that carries exactly both IDs is ours.
bool carries(const hid_device_info* info, std::int32_t vendor_id, std::int32_t product_id) {
  return info->path != nullptr && info->vendor_id == vendor_id && info->product_id == product_id;
}

// Input reports are read into a buffer larger than ours so that a longer report is taken
// whole (and its first eight bytes used) instead of being split across reads.
constexpr std::size_t kInputBufferSize = 64;
// A bound on the reports one drain discards, so that a device flooding input cannot hold
// the program in the drain.
constexpr int kMaxDrained = 64;

}  // namespace

HidapiTerminal::HidapiTerminal() { hid_init(); }

HidapiTerminal::~HidapiTerminal() { close(); }

void HidapiTerminal::close() {
  if (device_ != nullptr) hid_close(device_);
  device_ = nullptr;
  path_.clear();
}

void HidapiTerminal::terminal_connect() {
  close();
  found_but_not_opened_ = false;
  if (!valid_id(vendor_id_) || !valid_id(product_id_)) return;
  hid_device_info* list =
      hid_enumerate(static_cast<unsigned short>(vendor_id_), static_cast<unsigned short>(product_id_));
  bool found = false;
  for (hid_device_info* info = list; info != nullptr && device_ == nullptr; info = info->next) {
    if (!carries(info, vendor_id_, product_id_)) continue;
    found = true;
    device_ = hid_open_path(info->path);
    if (device_ != nullptr) path_ = info->path;
  }
  hid_free_enumeration(list);
  // Enumerating reads sysfs, which anyone may; opening needs access to /dev/hidrawN.
  found_but_not_opened_ = found && device_ == nullptr;
}

void HidapiTerminal::check_presence() {
  if (device_ == nullptr) return;
  bool present = false;
  hid_device_info* list =
      hid_enumerate(static_cast<unsigned short>(vendor_id_), static_cast<unsigned short>(product_id_));
  for (hid_device_info* info = list; info != nullptr; info = info->next) {
    if (carries(info, vendor_id_, product_id_) && path_ == info->path) present = true;
  }
  hid_free_enumeration(list);
  if (!present) close();
}

bool HidapiTerminal::drain() {
  std::array<unsigned char, kInputBufferSize> buffer{};
  for (int i = 0; i < kMaxDrained; ++i) {
    const int n = hid_read_timeout(device_, buffer.data(), buffer.size(), 0);
    if (n == 0) return true;
    if (n < 0) {
      check_presence();
      return false;
    }
  }
  return true;
}

bool HidapiTerminal::terminal_write(const Report& report) {
  if (device_ == nullptr) return false;
  if (!drain()) return false;
  // Byte 0 is the report ID: 0, the device has no numbered reports.
  std::array<unsigned char, 1 + sizeof(Report)> buffer{};
  std::copy(report.begin(), report.end(), buffer.begin() + 1);
  const int n = hid_write(device_, buffer.data(), buffer.size());
  if (n < 0) {
    check_presence();
    return false;
  }
  return n == static_cast<int>(buffer.size());
}

bool HidapiTerminal::terminal_read(Report& report) {
  if (device_ == nullptr) return false;
  std::array<unsigned char, kInputBufferSize> buffer{};
  const int n = hid_read_timeout(device_, buffer.data(), buffer.size(), kReadTimeoutMs);
  if (n < 0) {
    check_presence();
    return false;
  }
  if (n < static_cast<int>(report.size())) return false;  // a time-out (0) or a short report
  std::copy_n(buffer.begin(), report.size(), report.begin());
  return true;
}

}  // namespace tessaflex::link
