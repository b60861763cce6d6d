// The text of the two memory tables and of the sizes line, built from the images.
#include "ui/main/table_text.h"

#include "core/hex_text.h"

namespace tessaflex::ui {
namespace {

// address_digits is 6 or 4; the address is formatted to exactly that many digits.
std::string table_text(const std::vector<std::uint8_t>& image, std::int32_t first, std::int32_t per_line,
                       int address_digits) {
  std::string text;
  if (first < 0) return text;
  const auto size = static_cast<std::int64_t>(image.size());
  text.reserve(static_cast<std::size_t>(kTableLines) * 56);
  for (std::int32_t row = 0; row < kTableLines; ++row) {
    const std::int64_t start = (static_cast<std::int64_t>(first) + row) * per_line;
    if (start + per_line > size) break;
    if (row != 0) text += "\r\n";
    text += address_digits == 6 ? core::addr_to_hex(start) : core::word_to_hex(start);
    text += ':';
    for (std::int32_t i = 0; i < per_line; ++i) {
      text += ' ';
      core::append_byte_hex(text, image[static_cast<std::size_t>(start + i)]);
    }
  }
  return text;
}

}  // namespace

std::string flash_table_text(const std::vector<std::uint8_t>& image, std::int32_t first) {
  return table_text(image, first, kFlashBytesPerLine, 6);
}

std::string eeprom_table_text(const std::vector<std::uint8_t>& image, std::int32_t first) {
  return table_text(image, first, kEepromBytesPerLine, 4);
}

std::string sizes_text(std::int32_t flash_size, std::int32_t eeprom_size) {
  return "FLASH: " + std::to_string(flash_size) + ",  EEPROM: " + std::to_string(eeprom_size);
}

}  // namespace tessaflex::ui
