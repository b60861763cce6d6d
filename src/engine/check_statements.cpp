// Statements that compare the last byte read with the erased value or the images.
#include <cstdint>

#include "core/hex_text.h"
#include "devices/current_device.h"
#include "engine/engine.h"

namespace tessaflex::engine {
namespace {

constexpr std::int32_t kErased = 255;

}  // namespace

void Engine::checkblankflash(std::string_view, int) {
  show_flash_progress();
  const std::int32_t address = run_.counter;
  ++run_.counter;
  ++run_.pc;
  if (run_.temp == kErased) return;
  add_mismatch_line(mismatch_, run_, "FLASH Byte " + core::addr_to_hex_h(address),
                    core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(kErased));
}

void Engine::checkblankeeprom(std::string_view, int) {
  show_eeprom_progress();
  const std::int32_t address = run_.counter;
  ++run_.counter;
  ++run_.pc;
  if (run_.temp == kErased) return;
  add_mismatch_line(mismatch_, run_, "EEPROM Byte " + core::word_to_hex_h(address),
                    core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(kErased));
}

void Engine::checkflash(std::string_view, int) {
  show_flash_progress();
  const std::int32_t address = run_.counter;
  const auto& flash = workspace_.memory_images.flash_image;
  if (!inside_image(address, 1, static_cast<std::int32_t>(flash.size()), "FLASH")) return;
  ++run_.counter;
  ++run_.pc;
  const std::int32_t expected = flash[static_cast<std::size_t>(address)];
  if (run_.temp == expected) return;
  add_mismatch_line(mismatch_, run_, "FLASH Byte " + core::addr_to_hex_h(address),
                    core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(expected));
}

void Engine::checkeeprom(std::string_view, int) {
  show_eeprom_progress();
  const std::int32_t address = run_.counter;
  const auto& eeprom = workspace_.memory_images.eeprom_image;
  if (!inside_image(address, 1, static_cast<std::int32_t>(eeprom.size()), "EEPROM")) return;
  ++run_.counter;
  ++run_.pc;
  const std::int32_t expected = eeprom[static_cast<std::size_t>(address)];
  if (run_.temp == expected) return;
  add_mismatch_line(mismatch_, run_, "EEPROM Byte " + core::word_to_hex_h(address),
                    core::byte_to_hex_h(run_.temp), core::byte_to_hex_h(expected));
}

namespace {

// "CONF Byte 300000h" .. "CONF Byte 30000Dh".
std::string config_location(int config) {
  return "CONF Byte " + core::addr_to_hex_h(devices::kConfigBase + config);
}

}  // namespace

void Engine::checkblankconfig(std::string_view, int config) {
  show_config_progress(config);
  ++run_.pc;
  const std::int32_t expected = workspace_.current_device.configerased[static_cast<std::size_t>(config)];
  if (run_.temp == expected) return;
  add_mismatch_line(mismatch_, run_, config_location(config), core::byte_to_hex_h(run_.temp),
                    core::byte_to_hex_h(expected));
}

void Engine::checkconfig(std::string_view, int config) {
  show_config_progress(config);
  ++run_.pc;
  const std::int32_t expected = workspace_.memory_images.config_image[static_cast<std::size_t>(config)];
  if (run_.temp == expected) return;
  add_mismatch_line(mismatch_, run_, config_location(config), core::byte_to_hex_h(run_.temp),
                    core::byte_to_hex_h(expected));
}

}  // namespace tessaflex::engine
