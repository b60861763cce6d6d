// The text of the two memory tables and of the sizes line, built from the images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaflex::ui {

// Lines a table shows at once, and the bytes of one line.
inline constexpr std::int32_t kTableLines = 8;
inline constexpr std::int32_t kFlashBytesPerLine = 16;
inline constexpr std::int32_t kEepromBytesPerLine = 8;

// Eight lines from line first on, joined by CR LF (none after the last): each line is
// the address of its first byte (6 hex digits for FLASH, 4 for EEPROM), ":", and for
// each byte a blank and its two hex digits. A line that would reach past the image is
// not drawn, nor any after it, so no scroll value can make the table read outside the
// image; an empty image gives the empty text.
std::string flash_table_text(const std::vector<std::uint8_t>& image, std::int32_t first);
std::string eeprom_table_text(const std::vector<std::uint8_t>& image, std::int32_t first);

// "FLASH: <flash>,  EEPROM: <eeprom>", both in plain decimal.
std::string sizes_text(std::int32_t flash_size, std::int32_t eeprom_size);

}  // namespace tessaflex::ui
