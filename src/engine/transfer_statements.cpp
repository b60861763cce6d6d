// Statements that send ICSP commands and operands and read bytes into the images.
#include <cstdint>

#include "engine/engine.h"
#include "link/report_layer.h"

namespace tessaflex::engine {
namespace {

// Fixed PIC18 values some forms carry.
constexpr std::int32_t kCoreInstruction = 0x00;  // command 0000
constexpr std::int32_t kShiftOutTablat = 0x02;   // command 0010
constexpr std::int32_t kMovlw = 0x0E00;          // MOVLW k is 0x0E00 + k
constexpr std::int32_t kMovfEecon1W = 0x50A6;    // MOVF EECON1, W
constexpr std::int32_t kMovwfTablat = 0x6EF5;    // MOVWF TABLAT
constexpr std::int32_t kWriteBit = 0x02;         // EECON1.WR

// Positions (from 1) of the command field XX in each form.
constexpr std::size_t kFieldSFlash = 2;     // sXX-flash, sXX-configNx, sXX-YYYY
constexpr std::size_t kFieldFlashEq = 8;    // flash=sXX
constexpr std::size_t kFieldEepromEq = 9;   // eeprom=sXX
constexpr std::size_t kFieldConfigEq = 11;  // configNx=sXX
constexpr std::size_t kFieldTempEq = 7;     // temp=sXX
constexpr std::size_t kFieldOperand = 5;    // YYYY of sXX-YYYY

}  // namespace

void Engine::movlw_address(std::string_view, int address_byte) {
  const link::AddressBytes bytes = link::split_address(run_.counter);
  run_.addr_upper = bytes.upper;
  run_.addr_high = bytes.high;
  run_.addr_low = bytes.low;
  const std::int32_t value = address_byte == kUpperByte  ? bytes.upper
                             : address_byte == kHighByte ? bytes.high
                                                         : bytes.low;
  // Only an address above 24 bits gets here; 0x0E00 + 256 would be another instruction.
  if (value > 255) {
    stop("the address does not fit 24 bits.");
    return;
  }
  if (!command(kCoreInstruction) || !word(kMovlw + value)) return;
  ++run_.pc;
}

void Engine::movlw_eeprom(std::string_view, int) {
  show_eeprom_progress();
  const auto& eeprom = workspace_.memory_images.eeprom_image;
  if (!inside_image(run_.counter, 1, static_cast<std::int32_t>(eeprom.size()), "EEPROM")) return;
  const std::int32_t data = eeprom[static_cast<std::size_t>(run_.counter)];
  if (!command(kCoreInstruction) || !word(kMovlw + data)) return;
  ++run_.counter;
  ++run_.pc;
}

void Engine::write_flash(std::string_view s, int) {
  show_flash_progress();
  const std::int32_t code = command_field(s, kFieldSFlash);
  if (code < 0) return;
  const auto& flash = workspace_.memory_images.flash_image;
  if (!inside_image(run_.counter, 2, static_cast<std::int32_t>(flash.size()), "FLASH")) return;
  const auto at = static_cast<std::size_t>(run_.counter);
  // The byte at counter goes out first, as the operand's low byte.
  const std::int32_t operand = flash[at] + 256 * flash[at + 1];
  if (!command(code) || !word(operand)) return;
  run_.counter += 2;
  ++run_.pc;
}

void Engine::write_config(std::string_view s, int config) {
  show_config_progress(config);
  const std::int32_t code = command_field(s, kFieldSFlash);
  if (code < 0) return;
  const std::int32_t value = workspace_.memory_images.config_image[static_cast<std::size_t>(config)];
  if (value < 0 || value > 255) {
    stop("the configuration byte has no valid value (the device list gives none).");
    return;
  }
  // The byte goes in both halves: the chip takes the half that matches the address.
  if (!command(code) || !word(256 * value + value)) return;
  ++run_.pc;
}

void Engine::waitwr(std::string_view, int) {
  std::int32_t value = 0;
  if (!command(kCoreInstruction) || !word(kMovfEecon1W) || !command(kCoreInstruction) ||
      !word(kMovwfTablat) || !command(kShiftOutTablat) || !read_byte(value)) {
    return;
  }
  run_.temp = value;
  if ((run_.temp & kWriteBit) == 0) {
    write_polls_ = 0;
    ++run_.pc;
    return;
  }
  // pc stays, so the next call polls again; a write bit that never clears must not
  // keep the run polling for ever.
  if (write_polls_ == 0) write_poll_start_ = host_.clock_seconds();
  ++write_polls_;
  if (write_polls_ >= kMaxWritePolls || host_.clock_seconds() - write_poll_start_ >= kMaxWriteSeconds) {
    const std::int32_t polls = write_polls_;
    write_polls_ = 0;
    stop("the write did not finish (write bit still set after " + std::to_string(polls) + " polls).");
  }
}

void Engine::read_memory_byte(std::string_view s, std::size_t field, char memory,
                              std::vector<std::uint8_t>& image) {
  show_progress(memory);
  const std::int32_t code = command_field(s, field);
  if (code < 0) return;
  if (!inside_image(run_.counter, 1, static_cast<std::int32_t>(image.size()),
                    memory == 'F' ? "FLASH" : "EEPROM")) {
    return;
  }
  std::int32_t value = 0;
  if (!command(code) || !read_byte(value)) return;
  image[static_cast<std::size_t>(run_.counter)] = static_cast<std::uint8_t>(value);
  ++run_.counter;
  ++run_.pc;
}

void Engine::read_flash(std::string_view s, int) {
  read_memory_byte(s, kFieldFlashEq, 'F', workspace_.memory_images.flash_image);
}

void Engine::read_eeprom(std::string_view s, int) {
  read_memory_byte(s, kFieldEepromEq, 'E', workspace_.memory_images.eeprom_image);
}

void Engine::read_config(std::string_view s, int config) {
  show_config_progress(config);
  const std::int32_t code = command_field(s, kFieldConfigEq);
  if (code < 0) return;
  std::int32_t value = 0;
  if (!command(code) || !read_byte(value)) return;
  workspace_.memory_images.config_image[static_cast<std::size_t>(config)] = value;
  ++run_.pc;
}

void Engine::read_temp(std::string_view s, int) {
  const std::int32_t code = command_field(s, kFieldTempEq);
  if (code < 0) return;
  std::int32_t value = 0;
  if (!command(code) || !read_byte(value)) return;
  run_.temp = value;
  ++run_.pc;
}

void Engine::command_operand(std::string_view s, int) {
  // Both fields are checked before anything goes out, so a bad operand never leaves
  // a lone command in the chip's serial engine.
  const std::int32_t code = command_field(s, kFieldSFlash);
  if (code < 0) return;
  const std::int32_t operand = operand_field(s, kFieldOperand);
  if (operand < 0) return;
  if (!command(code) || !word(operand)) return;
  ++run_.pc;
}

}  // namespace tessaflex::engine
