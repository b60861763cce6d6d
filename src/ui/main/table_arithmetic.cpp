// The arithmetic of the memory tables, apart from any widget.
#include "ui/main/table_arithmetic.h"

#include <algorithm>
#include <cmath>

#include "core/ascii_case.h"
#include "core/decimal.h"
#include "core/hex_text.h"

namespace tessaflex::ui {

std::string table_text(const TableLayout& table, const std::vector<std::uint8_t>& image, std::int32_t first) {
  std::string text;
  if (first < 0) return text;
  const auto size = static_cast<std::int64_t>(image.size());
  const std::int32_t per_line = table.bytes_per_line;
  text.reserve(static_cast<std::size_t>(kTableLines) * 56);
  for (std::int32_t row = 0; row < kTableLines; ++row) {
    const std::int64_t start = (static_cast<std::int64_t>(first) + row) * per_line;
    if (start + per_line > size) break;
    if (row != 0) text += "\r\n";
    text += table.address_digits == 6 ? core::addr_to_hex(start) : core::word_to_hex(start);
    text += ':';
    for (std::int32_t i = 0; i < per_line; ++i) {
      text += ' ';
      core::append_byte_hex(text, image[static_cast<std::size_t>(start + i)]);
    }
  }
  return text;
}

std::string sizes_text(std::int32_t flash_size, std::int32_t eeprom_size) {
  return "FLASH: " + std::to_string(flash_size) + ",  EEPROM: " + std::to_string(eeprom_size);
}

std::int32_t scroll_maximum(std::int32_t size, std::int32_t bytes_per_line) {
  if (size <= 0 || bytes_per_line <= 0) return 0;
  const double lines = core::round_half_even(static_cast<double>(size) / bytes_per_line) - kTableLines;
  return static_cast<std::int32_t>(std::clamp(lines, -32768.0, 32767.0));
}

std::int32_t wheel_value(std::int32_t value, std::int32_t rotation, std::int32_t minimum,
                         std::int32_t maximum) {
  std::int64_t v = static_cast<std::int64_t>(value) + (rotation < 0 ? kWheelLines : -kWheelLines);
  if (v > maximum) v = maximum;
  if (v < minimum) v = minimum;
  return static_cast<std::int32_t>(v);
}

std::int32_t WheelAccumulator::add(std::int32_t delta) {
  if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) pending_ = 0;
  pending_ += delta;
  const std::int32_t notches = pending_ / kWheelNotch;
  pending_ -= notches * kWheelNotch;
  return notches;
}

std::optional<TableCell> cell_under_pointer(const TableLayout& table, double x, double y,
                                            std::int32_t first_line, std::int32_t image_size) {
  const double column = std::floor((x - table.left_margin()) / kByteTwips);
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
