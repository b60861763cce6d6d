// Stands in for hidapi in the real program (LD_PRELOAD): its one device is a virtual programmer.
#include <hidapi/hidapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "core/hex_text.h"
#include "sim/real_time_programmer.h"

namespace {

using tessaflex::sim::RealTimeProgrammer;
using tessaflex::sim::VirtualProgrammer;

const char* environment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) tessaflex::core::append_byte_hex(text, byte);
  return text;
}

struct Standin {
  RealTimeProgrammer programmer{environment("TESSAFLEX_E2E_CHIP", "18F1320")};
  std::string state_path = environment("TESSAFLEX_E2E_STATE", "");
  int power_ups = 0, power_downs = 0;

  ~Standin() {
    dump();
    std::fputs(programmer.violations_text().c_str(), stderr);
  }

  // The state to TESSAFLEX_E2E_STATE, "name value" a line; written beside and renamed: never half read.
  void dump() const {
    if (state_path.empty()) return;
    std::ofstream(state_path + ".new")
        << "power_ups " << power_ups << "\npower_downs " << power_downs << "\nviolations "
        << programmer.violations().size() << "\nflash " << hex(programmer.flash()) << "\neeprom "
        << hex(programmer.eeprom()) << '\n';
    std::rename((state_path + ".new").c_str(), state_path.c_str());
  }
};

Standin& standin() {
  static Standin instance;
  return instance;
}

char kPath[] = "virtual-programmer";

}  // namespace

extern "C" {

int hid_init() { return 0; }

// The one device, whatever IDs are asked for: the program picks it by its IDs itself.
hid_device_info* hid_enumerate(unsigned short, unsigned short) {
  auto* info = new hid_device_info{};
  info->path = kPath;
  info->vendor_id = VirtualProgrammer::kVendorId;
  info->product_id = VirtualProgrammer::kProductId;
  return info;
}

void hid_free_enumeration(hid_device_info* devices) { delete devices; }

hid_device* hid_open_path(const char*) {
  Standin& s = standin();
  s.programmer.connect();
  return s.programmer.terminal_connected() ? reinterpret_cast<hid_device*>(&s) : nullptr;
}

void hid_close(hid_device*) {}

int hid_write(hid_device*, const unsigned char* data, size_t length) {
  // Byte 0 is the report ID; the eight report bytes follow.
  if (length < 9) return -1;
  Standin& s = standin();
  tessaflex::link::Report report{};
  std::memcpy(report.data(), data + 1, report.size());
  if (!s.programmer.terminal_write(report)) return -1;
  // Power-ups and power-downs tell the test that a run has started or ended.
  if (report[0] == 101 || report[0] == 102) ++s.power_ups;
  if (report[0] == 103) ++s.power_downs;
  if (report[0] >= 101 && report[0] <= 103) s.dump();
  return static_cast<int>(length);
}

int hid_read_timeout(hid_device*, unsigned char* data, size_t length, int) {
  tessaflex::link::Report report{};
  if (length < report.size() || !standin().programmer.terminal_read(report)) return 0;
  std::memcpy(data, report.data(), report.size());
  return static_cast<int>(report.size());
}

}  // extern "C"
