// Which byte of a memory table lies under the pointer, and what a typed byte value is.
#include "ui/main/table_cell.h"

#include <cmath>
#include <string>

#include "core/ascii_case.h"
#include "core/hex_text.h"
#include "ui/main/memory_table.h"
#include "ui/main/table_text.h"

namespace tessaflex::ui {

std::optional<TableCell> cell_under_pointer(const TableGeometry& table, double x, double y,
                                            std::int32_t first_line, std::int32_t image_size) {
  const double column = std::floor((x - table.left_margin) / kByteTwips);
  const double row = std::floor(y / kLineTwips);
  if (row < 0 || row >= kTableLines || column < 0 || column >= table.bytes_per_line) return std::nullopt;
  const std::int64_t address =
      (static_cast<std::int64_t>(first_line) + static_cast<std::int64_t>(row)) * table.bytes_per_line +
      static_cast<std::int64_t>(column);
  if (address > static_cast<std::int64_t>(image_size) - 1) return std::nullopt;
  return TableCell{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column),
                   static_cast<std::int32_t>(address)};
}

std::optional<std::uint8_t> typed_byte(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::string padded = "000";
  padded += text;
  const int value = core::hex_to_word(core::ascii_upper(padded.substr(padded.size() - 4)));
  if (value < 0 || value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

}  // namespace tessaflex::ui
