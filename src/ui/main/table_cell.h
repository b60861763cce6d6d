// Which byte of a memory table lies under the pointer, and what a typed byte value is.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaflex::ui {

// The byte cells of one table, in twips from the grid's origin.
struct TableGeometry {
  std::int32_t left_margin;     // where the first byte's digits begin: 960 FLASH, 720 EEPROM
  std::int32_t bytes_per_line;  // 16 FLASH, 8 EEPROM
};
inline constexpr std::int32_t kByteTwips = 360;  // two digits and the blank after them
inline constexpr TableGeometry kFlashGeometry{960, 16};
inline constexpr TableGeometry kEepromGeometry{720, 8};

struct TableCell {
  std::int32_t row = 0;      // 0..7, the line on screen
  std::int32_t column = 0;   // 0..bytes_per_line - 1
  std::int32_t address = 0;  // the byte's address in its image
};

// The cell under the point x, y (twips from the grid's origin) when the table's first
// line is first_line and its image holds image_size bytes; nothing left of the first
// byte, right of the last, below the eighth line, or past the image's end.
std::optional<TableCell> cell_under_pointer(const TableGeometry& table, double x, double y,
                                            std::int32_t first_line, std::int32_t image_size);

// The value Enter stores for the typed text: one to four hex digits of either case
// (leading zeros supplied; of a longer text only the last four count). Nothing for an
// empty text, a text that is not hex, or a value above 255.
std::optional<std::uint8_t> typed_byte(std::string_view text);

}  // namespace tessaflex::ui
