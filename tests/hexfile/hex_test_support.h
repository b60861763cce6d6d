// Helpers shared by the HEX tests: models, records, images as byte maps.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "devices/current_device.h"
#include "devices/memory_images.h"

namespace tessaflex::testing {

// A model with these sizes and erased configuration values (index 0 is CONFIG1L).
devices::CurrentDevice make_device(std::int32_t flash_size, std::int32_t eeprom_size,
                                   std::array<std::int32_t, devices::kConfigBytes> configerased = {});

// Images sized and erased for device.
devices::MemoryImages erased_images(const devices::CurrentDevice& device);

// ":" + body + its checksum: a record that always passes the checksum test.
std::string record(std::string_view body);

// Data records for n bytes from address field first (first + n at most 0x10000), up to per
// bytes a record, every data character fill, each record ended by CR LF.
std::string records(int first, int n, int per, char fill);

// Address -> byte, in chip addresses: FLASH from 0, configuration at 0x300000, EEPROM at
// 0xF00000.
using ByteMap = std::map<std::uint64_t, std::uint8_t>;

// The bytes of images that differ from erased, in chip addresses.
ByteMap changed_bytes(const devices::MemoryImages& images, const devices::MemoryImages& erased);

// Sets each byte of bytes at its chip address in images; any other address fails the test.
void set_bytes(devices::MemoryImages& images, const ByteMap& bytes);

}  // namespace tessaflex::testing
