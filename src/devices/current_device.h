// The selected model's working values, and turning a device list entry into them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_list.h"
#include "devices/memory_map.h"

namespace tessaflex::devices {

// Statements numbered from 1 in the text; index 0 here is statement 1.
using StatementList = std::vector<std::string>;

// Limits that keep every table and image access inside its image.
inline constexpr std::int32_t kMinFlashSize = 128;
inline constexpr std::int32_t kMaxFlashSize = (32767 + 8) * 16;
inline constexpr std::int32_t kMinEepromSize = 64;
inline constexpr std::int32_t kMaxEepromSize = (32767 + 8) * 8;

struct CurrentDevice {
  std::int32_t model_index = 0;  // 1..model_count, set by the callers
  std::string model_name;
  std::int32_t flash_size = 0;
  std::int32_t eeprom_size = 0;
  // Erased values of CONFIG1L..CONFIG7H (index 0 is CONFIG1L): 0..255, or -1 where
  // the file gives no valid pair.
  std::array<std::int32_t, kConfigBytes> configerased{};
  std::int32_t voltage_seq = 0;  // 1 = Vdd before Vpp, 2 = Vpp before Vdd, 0 = unknown
  std::int32_t prog_time = 0;    // milliseconds
  std::int32_t page_size = 0;    // bytes
  std::array<StatementList, kAlgorithmKinds> instructions;  // by AlgorithmKind

  const StatementList& statements(AlgorithmKind kind) const {
    return instructions[static_cast<std::size_t>(kind)];
  }
};

// Cuts an algorithm text into its statements: lower case, split at every ",", nothing
// trimmed or dropped ("begin, end" gives "begin" and " end"; "" gives one empty statement).
StatementList split_statements(std::string_view algorithm);

// The fourteen erased configuration values of a configerased text: the pairs at
// characters 1, 4, ..., 40 (upper-cased first), -1 where a pair is missing or not hex.
std::array<std::int32_t, kConfigBytes> parse_configerased(std::string_view text);

// Makes device.model_index's entry of list the current device. Nothing is reported.
// Numbers are read as the nearest whole number (a half to the even neighbour); a
// voltageseq that is neither "vddvpp" nor "vppvdd" keeps the earlier voltage_seq.
// Sizes are limited to what the tables and images can hold: FLASH to 128..524400
// bytes in whole 16-byte lines, EEPROM to 0 or 64..262200 bytes in whole 8-byte lines;
// a programming time or page size too large for 32 bits is limited to the 32-bit range.
// Returns false, changing nothing, when model_index is not 1..model_count.
bool apply_selected_model(const DeviceList& list, CurrentDevice& device);

}  // namespace tessaflex::devices
