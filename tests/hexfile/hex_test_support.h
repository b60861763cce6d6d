// Helpers shared by the HEX tests: models, records, images as byte maps.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "core/hex_text.h"
#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "hexfile/hex_checksum.h"

namespace tessaflex::testing {

using Config = std::array<std::int32_t, devices::kConfigBytes>;

// Images erased for a model with these sizes and erased configuration values.
inline devices::MemoryImages erased_images(std::int32_t flash_size, std::int32_t eeprom_size,
                                           const Config& configerased = {}) {
  devices::CurrentDevice device;
  device.flash_size = flash_size, device.eeprom_size = eeprom_size, device.configerased = configerased;
  devices::MemoryImages images;
  devices::erase_images(device, images);
  return images;
}

// ":" + body + its checksum: a record that always passes the checksum test.
inline std::string record(std::string_view body) {
  std::string line = ":";  // appended, not ":" + string: g++ 12 warns wrongly on that in release builds
  return line.append(body).append(hexfile::hex_checksum(body));
}

// CR LF ended data records for n bytes from address field first (first + n <= 0x10000), per a record.
inline std::string records(int first, int n, int per, char fill) {
  std::string text;
  for (int a = 0; a < n; a += per) {
    const auto count = std::min(per, n - a);
    text += record(core::byte_to_hex(count) + core::word_to_hex(first + a) + "00" +
                   std::string(2 * static_cast<std::size_t>(count), fill)) +
            "\r\n";
  }
  return text;
}

// Address -> byte, in chip addresses: FLASH from 0, configuration at 0x300000, EEPROM at 0xF00000.
using ByteMap = std::map<std::uint64_t, std::uint8_t>;

// The bytes of images that differ from erased.
inline ByteMap changed_bytes(const devices::MemoryImages& images, const devices::MemoryImages& erased) {
  ByteMap bytes;
  for (std::size_t a = 0; a < images.flash_image.size(); ++a)
    if (images.flash_image[a] != erased.flash_image.at(a)) bytes[a] = images.flash_image[a];
  for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
    if (images.config_image[k] != erased.config_image[k])
      bytes[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k]);
  for (std::size_t a = 0; a < images.eeprom_image.size(); ++a)
    if (images.eeprom_image[a] != erased.eeprom_image.at(a)) bytes[0xF00000 + a] = images.eeprom_image[a];
  return bytes;
}

// Sets each byte at its chip address in images; an address with no memory fails the test.
inline void set_bytes(devices::MemoryImages& images, const ByteMap& bytes) {
  for (const auto& [a, value] : bytes) {
    if (a < images.flash_image.size()) images.flash_image[a] = value;
    if (a - 0x300000 < devices::kConfigBytes) images.config_image[a - 0x300000] = value;
    if (a - 0xF00000 < images.eeprom_image.size()) images.eeprom_image[a - 0xF00000] = value;
    EXPECT_TRUE(a < images.flash_image.size() || a - 0x300000 < devices::kConfigBytes ||
                a - 0xF00000 < images.eeprom_image.size())
        << "no memory at " << std::hex << a;
  }
}

}  // namespace tessaflex::testing
