// The PIC18 parts that the chip model knows: family, sizes, write buffer, device ID, erased configuration.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/memory_map.h"

namespace tessaflex::sim {

// The five programming families, each with its own Microchip programming document
// (titles in docs/pic18-programming.md).
enum class Family {
  fxx2,   // 18F242/252/442/452, 18F248/258/448/458 (DS39576B)
  x220,   // 18F1220/1320, 18F2220/2320/4220/4320 (DS39592E)
  f2xxx,  // 18F2420/2520/4420/4520, 2455/2550/4455/4550, 2525/2620/4525/4620 (DS39622L)
  k20,    // 18F23K20 .. 18F46K20 (DS41297D)
  k22,    // 18(L)F23K22 .. 18(L)F46K22 (DS41398B)
};

// "FXX2", "X220", "2XXX", "K20", "K22".
std::string_view family_name(Family family);

// One part of the device table: everything the chip model needs to behave as that part.
struct ChipDevice {
  std::string name;  // upper case, without "PIC": "18F452", "18LF46K22"
  Family family = Family::fxx2;
  std::int32_t flash_size = 0;    // bytes of code memory, from address 0
  std::int32_t eeprom_size = 0;   // bytes of data EEPROM
  std::int32_t write_buffer = 0;  // holding registers in bytes (per 8 KB panel on FXX2)
  std::uint16_t devid = 0;        // DEVID2 * 256 + DEVID1 as the chip reads it (revision 0)
  // CONFIG1L..CONFIG7H after a bulk erase (index 0 is CONFIG1L); 00 for an unimplemented byte.
  std::array<std::uint8_t, devices::kConfigBytes> config_erased{};
  // The implemented bits of each configuration byte; 00 for an unimplemented byte. Bits
  // outside the mask read 0 and cannot be set.
  std::array<std::uint8_t, devices::kConfigBytes> config_mask{};
  bool has_eeadrh = false;           // EEADRH (FAA) exists: the parts with 1 KB of EEPROM
  bool faa_is_baudctl = false;       // 18F1220/1320: FAA is BAUDCTL, never to be written
  std::int32_t boot_block_size = 0;  // bytes from address 0 guarded by CPB/WRTB
  std::int32_t code_blocks = 0;      // code-protection blocks after the boot block (CP0..)
  // The holding registers read FFh again after programming (confirmed for 2455/2550/4455/
  // 4550 only); elsewhere they keep what was loaded, so a row loaded only in part takes
  // stale bytes from the row before.
  bool holding_resets = false;
};

// Every part of the device table, in table order (LF parts of the K22 family included).
const std::vector<ChipDevice>& chip_devices();

// The part named name: "18F452", "PIC18F452" and "pic18f452" all name the same part.
// nullptr when no part has that name.
const ChipDevice* find_chip_device(std::string_view name);

}  // namespace tessaflex::sim
