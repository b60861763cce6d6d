// Where each PIC18 memory lies: in the chip's table-pointer space, and in the Intel HEX
// files written for these chips, which use the same addresses and put the data EEPROM
// above them (docs/pic18-programming.md names the documents these come from).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaflex::devices {

// Program memory; a FLASH address is also its index in the FLASH image.
inline constexpr std::uint32_t kFlashBase = 0x000000;

// The eight ID locations.
inline constexpr std::uint32_t kIdBase = 0x200000;
inline constexpr std::size_t kIdBytes = 8;

// The fourteen configuration bytes CONFIG1L..CONFIG7H.
inline constexpr std::uint32_t kConfigBase = 0x300000;
inline constexpr std::size_t kConfigBytes = 14;

// DEVID1 and DEVID2, read only.
inline constexpr std::uint32_t kDeviceIdBase = 0x3FFFFE;
inline constexpr std::size_t kDeviceIdBytes = 2;

// The data EEPROM is outside the table-pointer space; HEX files hold it from here.
inline constexpr std::uint32_t kEepromBase = 0xF00000;

}  // namespace tessaflex::devices
