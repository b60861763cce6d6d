// The FLASH, EEPROM and configuration images that are loaded, edited, programmed and read.
#include "devices/memory_images.h"

#include <algorithm>

namespace tessaflex::devices {

void erase_images(const CurrentDevice& device, MemoryImages& images) {
  images.flash_image.assign(static_cast<std::size_t>(std::max(device.flash_size, 0)), kErasedByte);
  images.eeprom_image.assign(static_cast<std::size_t>(std::max(device.eeprom_size, 0)), kErasedByte);
  images.config_image = device.configerased;
}

}  // namespace tessaflex::devices
