// Statements that compare the last byte read with the erased value or the images.
#include <cstdint>

#include "core/hex_text.h"
#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "engine/engine.h"

namespace tessaflex::engine {

void Engine::check_memory_byte(char memory, const std::vector<std::uint8_t>* image) {
  const bool flash = memory == 'F';
  show_progress(memory);
  const std::int32_t address = run_.counter;
  if (image != nullptr &&
      !inside_image(address, 1, static_cast<std::int32_t>(image->size()), flash ? "FLASH" : "EEPROM")) {
    return;
  }
  // counter and pc move before the line is added: the 25th line sets pc, and that must stand.
  ++run_.counter;
  ++run_.pc;
  const std::int32_t expected =
      image == nullptr ? devices::kErasedByte : (*image)[static_cast<std::size_t>(address)];
  if (run_.temp == expected) return;
  add_mismatch_line(
      mismatch_, run_,
      flash ? "FLASH Byte " + core::addr_to_hex_h(address) : "EEPROM Byte " + core::word_to_hex_h(address),
      core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(expected));
}

void Engine::check_config_byte(int config, std::int32_t expected) {
  show_config_progress(config);
  ++run_.pc;
  if (run_.temp == expected) return;
  add_mismatch_line(mismatch_, run_, "CONF Byte " + core::addr_to_hex_h(devices::kConfigBase + config),
                    core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(expected));
}

void Engine::checkblankflash(std::string_view, int) { check_memory_byte('F', nullptr); }
void Engine::checkblankeeprom(std::string_view, int) { check_memory_byte('E', nullptr); }
void Engine::checkflash(std::string_view, int) {
  check_memory_byte('F', &workspace_.memory_images.flash_image);
}
void Engine::checkeeprom(std::string_view, int) {
  check_memory_byte('E', &workspace_.memory_images.eeprom_image);
}

void Engine::checkblankconfig(std::string_view, int config) {
  check_config_byte(config, workspace_.current_device.configerased[static_cast<std::size_t>(config)]);
}

void Engine::checkconfig(std::string_view, int config) {
  check_config_byte(config, workspace_.memory_images.config_image[static_cast<std::size_t>(config)]);
}

}  // namespace tessaflex::engine
