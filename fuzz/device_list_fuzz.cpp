// libFuzzer target: any bytes through the device list reader, then every model selected and
// its images erased, which must stay inside the model limits the tables and images rely on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"

namespace {

namespace devices = tessaflex::devices;

void require(bool condition) {
  if (!condition) __builtin_trap();
}

bool one_line(std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; }

// What a refused selection must leave as it was.
bool same_selection(const devices::CurrentDevice& a, const devices::CurrentDevice& b) {
  return a.model_name == b.model_name && a.flash_size == b.flash_size && a.eeprom_size == b.eeprom_size &&
         a.configerased == b.configerased && a.voltage_seq == b.voltage_seq && a.prog_time == b.prog_time &&
         a.page_size == b.page_size && a.instructions == b.instructions;
}

void check_selected(const devices::CurrentDevice& device, const devices::MemoryImages& images) {
  require(device.flash_size >= devices::kMinFlashSize && device.flash_size <= devices::kMaxFlashSize);
  require(device.flash_size % 16 == 0);
  require(device.eeprom_size == 0 ||
          (device.eeprom_size >= devices::kMinEepromSize && device.eeprom_size <= devices::kMaxEepromSize));
  require(device.eeprom_size % 8 == 0);
  require(device.voltage_seq >= 0 && device.voltage_seq <= 2);
  for (std::int32_t value : device.configerased) require(value >= -1 && value <= 255);
  for (const devices::StatementList& statements : device.instructions) {
    require(!statements.empty());
    for (const std::string& s : statements) require(s.find(',') == std::string::npos);
  }
  require(images.flash_image.size() == static_cast<std::size_t>(device.flash_size));
  require(images.eeprom_image.size() == static_cast<std::size_t>(device.eeprom_size));
  const auto erased = [](std::uint8_t b) { return b == devices::kErasedByte; };
  require(std::all_of(images.flash_image.begin(), images.flash_image.end(), erased));
  require(std::all_of(images.eeprom_image.begin(), images.eeprom_image.end(), erased));
  require(images.config_image == device.configerased);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const devices::DeviceList list = devices::parse_device_list(text);

  // Entry 0 is the hidden one; every other entry is a model the reader counted.
  require(list.model_count >= 0);
  require(list.device_list.size() == static_cast<std::size_t>(list.model_count) + 1);
  for (const auto& table : list.algorithm_definitions) {
    for (const std::string& slot : table) require(one_line(slot));
  }
  for (const devices::DeviceModel& model : list.device_list) {
    require(one_line(model.model) && one_line(model.flash) && one_line(model.eeprom));
    for (const std::string& algorithm : model.algorithms) require(one_line(algorithm));
  }

  devices::CurrentDevice device;
  devices::MemoryImages images;  // reused: a model may ask for half a megabyte
  for (std::int32_t m = 1; m <= list.model_count; ++m) {
    device.model_index = m;
    require(devices::apply_selected_model(list, device));
    devices::erase_images(device, images);
    check_selected(device, images);
  }

  const devices::CurrentDevice before = device;
  for (const std::int32_t outside : {0, -1, list.model_count + 1, std::numeric_limits<std::int32_t>::min()}) {
    device.model_index = outside;
    require(!devices::apply_selected_model(list, device));
    require(same_selection(device, before));
  }
  return 0;
}
