// Helpers shared by the HEX tests: models, records, images as byte maps.
#include "hex_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/hex_text.h"
#include "hexfile/hex_checksum.h"

namespace tessaflex::testing {

devices::CurrentDevice make_device(std::int32_t flash_size, std::int32_t eeprom_size,
                                   std::array<std::int32_t, devices::kConfigBytes> configerased) {
  devices::CurrentDevice device;
  device.flash_size = flash_size;
  device.eeprom_size = eeprom_size;
  device.configerased = configerased;
  return device;
}

devices::MemoryImages erased_images(const devices::CurrentDevice& device) {
  devices::MemoryImages images;
  devices::erase_images(device, images);
  return images;
}

std::string record(std::string_view body) {
  std::string line = ":";  // appended, not ":" + string: g++ 12 warns wrongly on that in release builds
  return line.append(body).append(hexfile::hex_checksum(body));
}

std::string records(int first, int n, int per, char fill) {
  std::string text;
  for (int a = 0; a < n; a += per) {
    const int count = std::min(per, n - a);
    text += record(core::byte_to_hex(count) + core::word_to_hex(first + a) + "00" +
                   std::string(2 * static_cast<std::size_t>(count), fill)) +
            "\r\n";
  }
  return text;
}

ByteMap changed_bytes(const devices::MemoryImages& images, const devices::MemoryImages& erased) {
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

void set_bytes(devices::MemoryImages& images, const ByteMap& bytes) {
  for (const auto& [address, value] : bytes) {
    if (address < images.flash_image.size()) {
      images.flash_image[address] = value;
    } else if (address >= 0x300000 && address < 0x300000 + devices::kConfigBytes) {
      images.config_image[address - 0x300000] = value;
    } else if (address >= 0xF00000 && address - 0xF00000 < images.eeprom_image.size()) {
      images.eeprom_image[address - 0xF00000] = value;
    } else {
      ADD_FAILURE() << "no memory at " << std::hex << address;
    }
  }
}

}  // namespace tessaflex::testing
