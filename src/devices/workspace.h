// Everything the user works on: the selected model, the images and their companions.
#pragma once

#include <cstdint>
#include <string>

#include "devices/current_device.h"
#include "devices/memory_images.h"

namespace tessaflex::devices {

// One per program, owned by the application and handed by reference to whoever reads
// or writes the selected model or the images.
struct Workspace {
  CurrentDevice current_device;
  MemoryImages memory_images;
  // The highest FLASH address the last HEX load filled, plus 1 (0: none).
  std::int32_t flash_loaded_end = 0;
  // Folder of the last HEX file opened or saved, ending in the folder separator.
  std::string last_path;
  // The target's power switched on by hand ("Test Vpp").
  bool vpp_on = false;
};

}  // namespace tessaflex::devices
