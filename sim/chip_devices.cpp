// The device table (docs/pic18-programming.md): sizes, write buffers, device IDs, erased configuration.
#include "sim/chip_devices.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <stdexcept>

namespace tessaflex::sim {
namespace {

// Erased configuration per gputils 1.4.0 and the families' programming documents' configuration
// tables, CONFIG1L..CONFIG7H: "--" is an unimplemented byte (reads 00, no bits), "vv" a byte
// whose implemented bits all erase to 1 (vv is its own mask), "vv/mm" the erased value and the
// implemented-bit mask. Where the sources disagree, the reading taken is noted.
constexpr const char* k242 =
    "-- 27 0F 0F -- 01 85 -- 03 C0 03 E0 03 40";  // and 442; 5L/6L/7L 03 ([D] DS39576B table 0F)
constexpr const char* k252 = "-- 27 0F 0F -- 01 85 -- 0F C0 0F E0 0F 40";            // and 452
constexpr const char* k248 = "-- 27 0F 0F -- -- 85 -- 03 C0 03 E0 03 40";            // and 448; 03 as for 242
constexpr const char* k258 = "-- 27 0F 0F -- -- 85 -- 0F C0 0F E0 0F 40";            // and 458
constexpr const char* k1220 = "-- CF 0F 1F -- 80 85 -- 03 C0 03 E0 03 40";           // and 1320
constexpr const char* k2220 = "-- CF 0F 1F -- 83 85 -- 03 C0 03 E0 03 40";           // and 4220
constexpr const char* k2320 = "-- CF 0F 1F -- 83 85 -- 0F C0 0F E0 0F 40";           // and 4320
constexpr const char* k2420 = "-- 07/CF 1F 1F -- 83/87 85/C5 -- 03 C0 03 E0 03 40";  // and 4420
constexpr const char* k2520 = "-- 07/CF 1F 1F -- 83/87 85/C5 -- 0F C0 0F E0 0F 40";  // 4520, 2620, 4620
// CONFIG4L: ICPRT (bit 5) exists only on the 44-pin 4455/4550 (mask E5), not on 2455/2550.
constexpr const char* k2455 = "00/3F 05/CF 1F/3F 1F -- 83/87 85/C5 -- 07 C0 07 E0 07 40";
constexpr const char* k4455 = "00/3F 05/CF 1F/3F 1F -- 83/87 85/E5 -- 07 C0 07 E0 07 40";
constexpr const char* k2550 = "00/3F 05/CF 1F/3F 1F -- 83/87 85/C5 -- 0F C0 0F E0 0F 40";
constexpr const char* k4550 = "00/3F 05/CF 1F/3F 1F -- 83/87 85/E5 -- 0F C0 0F E0 0F 40";
constexpr const char* k2525 =
    "-- 07/CF 1F 1F -- 83/87 85/C5 -- 07 C0 07 E0 07 40";  // and 4525; 07 ([D] DS39622L mask 0F)
constexpr const char* kK20Small = "-- 07/CF 1F 1F -- 8B/8F 85/C5 -- 03 C0 03 E0 03 40";  // 23/24/43/44K20
constexpr const char* kK20Large = "-- 07/CF 1F 1F -- 8B/8F 85/C5 -- 0F C0 0F E0 0F 40";  // 25/26/45/46K20
constexpr const char* kK22Small = "-- 25/FF 1F 3F -- BF 85/C5 -- 03 C0 03 E0 03 40";     // 23/24/43/44K22
constexpr const char* kK22Large = "-- 25/FF 1F 3F -- BF 85/C5 -- 0F C0 0F E0 0F 40";     // 25/26/45/46K22

std::uint8_t hex_byte(std::string_view text) {
  return static_cast<std::uint8_t>(std::stoi(std::string(text), nullptr, 16));
}

void parse_config(std::string_view row, ChipDevice& d) {
  std::size_t i = 0;
  while (!row.empty()) {
    const std::size_t end = std::min(row.find(' '), row.size());
    const std::string_view cell = row.substr(0, end);
    row.remove_prefix(std::min(end + 1, row.size()));
    if (i >= devices::kConfigBytes) break;
    if (cell != "--") {
      d.config_erased[i] = hex_byte(cell.substr(0, 2));
      d.config_mask[i] = cell.size() > 2 ? hex_byte(cell.substr(3)) : d.config_erased[i];
    }
    ++i;
  }
  if (i != devices::kConfigBytes || !row.empty())
    throw std::logic_error("configuration row of " + d.name + " is not 14 cells");
}

struct Part {
  const char* name;
  Family family;
  std::int32_t flash, eeprom, buffer;
  std::uint16_t devid;
  const char* config;
};

// Sizes, buffers and IDs from the family's programming document and gputils. [D] choices:
// 18F442 04A0 (usbpicprog 0490); 23K20/43K20 write buffer 8 (pickle, openprog 16);
// 26K20/46K20 and 26K22/46K22 EEPROM 1024 (openprog 256).
constexpr Family fxx2 = Family::fxx2, x220 = Family::x220, f2xxx = Family::f2xxx, k20 = Family::k20,
                 k22 = Family::k22;
constexpr Part kParts[] = {
    {"18F242", fxx2, 16384, 256, 8, 0x0480, k242},
    {"18F252", fxx2, 32768, 256, 8, 0x0400, k252},
    {"18F442", fxx2, 16384, 256, 8, 0x04A0, k242},
    {"18F452", fxx2, 32768, 256, 8, 0x0420, k252},
    {"18F248", fxx2, 16384, 256, 8, 0x0800, k248},
    {"18F258", fxx2, 32768, 256, 8, 0x0840, k258},
    {"18F448", fxx2, 16384, 256, 8, 0x0820, k248},
    {"18F458", fxx2, 32768, 256, 8, 0x0860, k258},
    {"18F1220", x220, 4096, 256, 8, 0x07E0, k1220},
    {"18F1320", x220, 8192, 256, 8, 0x07C0, k1220},
    {"18F2220", x220, 4096, 256, 8, 0x0580, k2220},
    {"18F2320", x220, 8192, 256, 8, 0x0500, k2320},
    {"18F4220", x220, 4096, 256, 8, 0x05A0, k2220},
    {"18F4320", x220, 8192, 256, 8, 0x0520, k2320},
    {"18F2420", f2xxx, 16384, 256, 32, 0x1140, k2420},
    {"18F2520", f2xxx, 32768, 256, 32, 0x1100, k2520},
    {"18F4420", f2xxx, 16384, 256, 32, 0x10C0, k2420},
    {"18F4520", f2xxx, 32768, 256, 32, 0x1080, k2520},
    {"18F2455", f2xxx, 24576, 256, 32, 0x1260, k2455},
    {"18F2550", f2xxx, 32768, 256, 32, 0x1240, k2550},
    {"18F4455", f2xxx, 24576, 256, 32, 0x1220, k4455},
    {"18F4550", f2xxx, 32768, 256, 32, 0x1200, k4550},
    {"18F2525", f2xxx, 49152, 1024, 64, 0x0CC0, k2525},
    {"18F2620", f2xxx, 65536, 1024, 64, 0x0C80, k2520},
    {"18F4525", f2xxx, 49152, 1024, 64, 0x0C40, k2525},
    {"18F4620", f2xxx, 65536, 1024, 64, 0x0C00, k2520},
    {"18F23K20", k20, 8192, 256, 8, 0x20E0, kK20Small},
    {"18F43K20", k20, 8192, 256, 8, 0x20C0, kK20Small},
    {"18F24K20", k20, 16384, 256, 32, 0x20A0, kK20Small},
    {"18F44K20", k20, 16384, 256, 32, 0x2080, kK20Small},
    {"18F25K20", k20, 32768, 256, 32, 0x2060, kK20Large},
    {"18F45K20", k20, 32768, 256, 32, 0x2040, kK20Large},
    {"18F26K20", k20, 65536, 1024, 64, 0x2020, kK20Large},
    {"18F46K20", k20, 65536, 1024, 64, 0x2000, kK20Large},
    {"18F23K22", k22, 8192, 256, 64, 0x5740, kK22Small},
    {"18F43K22", k22, 8192, 256, 64, 0x5700, kK22Small},
    {"18F24K22", k22, 16384, 256, 64, 0x5640, kK22Small},
    {"18F44K22", k22, 16384, 256, 64, 0x5600, kK22Small},
    {"18F25K22", k22, 32768, 256, 64, 0x5540, kK22Large},
    {"18F45K22", k22, 32768, 256, 64, 0x5500, kK22Large},
    {"18F26K22", k22, 65536, 1024, 64, 0x5440, kK22Large},
    {"18F46K22", k22, 65536, 1024, 64, 0x5400, kK22Large},
};

ChipDevice make(const Part& p, std::string name, std::uint16_t devid) {
  ChipDevice d;
  d.name = std::move(name);
  d.family = p.family;
  d.flash_size = p.flash;
  d.eeprom_size = p.eeprom;
  d.write_buffer = p.buffer;
  d.devid = devid;
  parse_config(p.config, d);
  // EEADRH exists on the parts with 1 KB of EEPROM (gputils p18f*.inc).
  d.has_eeadrh = p.eeprom > 256;
  d.faa_is_baudctl = d.name == "18F1220" || d.name == "18F1320";
  // Boot block (data sheets): 512 bytes on FXX2, X220 and the 8 KB K parts, 2 KB on the
  // rest; the code-protection blocks (one per CPn bit of CONFIG5L) share the code memory
  // evenly, block 0 starting after the boot block.
  const bool k = p.family == Family::k20 || p.family == Family::k22;
  const bool small_boot = p.family == Family::fxx2 || p.family == Family::x220 || (k && p.flash <= 8192);
  d.boot_block_size = small_boot ? 0x200 : 0x800;
  d.code_blocks = std::popcount(static_cast<unsigned>(d.config_mask[8]));
  d.holding_resets = d.name == "18F2455" || d.name == "18F2550" || d.name == "18F4455" || d.name == "18F4550";
  return d;
}

std::vector<ChipDevice> build_table() {
  std::vector<ChipDevice> t;
  for (const Part& p : kParts) t.push_back(make(p, p.name, p.devid));
  // The LF twins of the K22 parts: the same part with device ID + 0x20.
  for (const Part& p : kParts) {
    if (p.family == Family::k22)
      t.push_back(
          make(p, "18LF" + std::string(p.name).substr(3), static_cast<std::uint16_t>(p.devid + 0x20)));
  }
  return t;
}

}  // namespace

std::string_view family_name(Family family) {
  constexpr std::string_view kNames[] = {"FXX2", "X220", "2XXX", "K20", "K22"};
  return kNames[static_cast<std::size_t>(family)];
}

const std::vector<ChipDevice>& chip_devices() {
  static const std::vector<ChipDevice> table = build_table();
  return table;
}

const ChipDevice* find_chip_device(std::string_view name) {
  std::string key;
  for (char c : name) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (key.starts_with("PIC")) key.erase(0, 3);
  const auto& table = chip_devices();
  const auto it =
      std::find_if(table.begin(), table.end(), [&](const ChipDevice& d) { return d.name == key; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace tessaflex::sim
