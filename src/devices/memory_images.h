// The FLASH, EEPROM and configuration images that are loaded, edited, programmed and read.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "devices/current_device.h"

namespace tessaflex::devices {

inline constexpr std::uint8_t kErasedByte = 0xFF;

struct MemoryImages {
  std::vector<std::uint8_t> flash_image;   // one byte per FLASH address
  std::vector<std::uint8_t> eeprom_image;  // empty when the model has no EEPROM
  // CONFIG1L..CONFIG7H (index 0 is CONFIG1L); -1 where the model's erased value is not
  // a byte, shown and written as FF.
  std::array<std::int32_t, kConfigBytes> config_image{};
};

// Sizes the images for device and brings them to the erased state: every FLASH and
// EEPROM byte FF, the configuration bytes equal to the model's erased values.
void erase_images(const CurrentDevice& device, MemoryImages& images);

}  // namespace tessaflex::devices
