// The arithmetic of the memory tables, apart from any widget: the text a table shows, how
// far its scroll bar and the mouse wheel move it, and which byte lies under the pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaflex::ui {

// The character grid the tables are painted on, in twips: one character is 120 wide, one
// line 195 high, whatever the font, so the byte under the pointer is found by arithmetic.
inline constexpr std::int32_t kCharTwips = 120;
inline constexpr std::int32_t kLineTwips = 195;
// One byte's cell: its two digits and the blank after them.
inline constexpr std::int32_t kByteTwips = 3 * kCharTwips;

// Lines a table shows at once.
inline constexpr std::int32_t kTableLines = 8;

// What one line of a table holds: its first byte's address, ":", and a blank and two hex
// digits for each byte.
struct TableLayout {
  std::int32_t bytes_per_line;
  std::int32_t address_digits;  // 6 or 4
  // Where the first byte's digits begin, in twips from the grid's origin.
  constexpr std::int32_t left_margin() const { return (address_digits + 2) * kCharTwips; }
};
inline constexpr TableLayout kFlashLayout{16, 6};
inline constexpr TableLayout kEepromLayout{8, 4};

// The window's memories: the table a pane shows, the byte the editor edits. FLASH and
// EEPROM have the numbers the window's active_table reports.
enum class Memory : std::int32_t { flash = 1, eeprom = 2, config = 3 };

// Eight lines from line first on, joined by CR LF (none after the last). A line that would
// reach past the image is not drawn, nor any after it, so no scroll value can make the
// table read outside the image; an empty image or a negative first gives the empty text.
std::string table_text(const TableLayout& table, const std::vector<std::uint8_t>& image, std::int32_t first);

// "FLASH: <flash>,  EEPROM: <eeprom>", both in plain decimal.
std::string sizes_text(std::int32_t flash_size, std::int32_t eeprom_size);

// The last first line a table can show so that its eight lines end at the image's last
// byte: size / bytes_per_line - 8, rounded half to even, kept to the scroll bars' 16-bit
// range; 0 for an empty image.
std::int32_t scroll_maximum(std::int32_t size, std::int32_t bytes_per_line);

// Lines the wheel moves a table per notch.
inline constexpr std::int32_t kWheelLines = 3;
// The wheel distance of one notch, in the units a wheel event reports.
inline constexpr std::int32_t kWheelNotch = 120;

// The scroll value after one wheel message: three lines toward higher addresses when
// rotation is negative (turned toward the user), else three toward line 0; then held to
// the maximum and, after that, to the minimum (so a maximum below the minimum gives
// the minimum).
std::int32_t wheel_value(std::int32_t value, std::int32_t rotation, std::int32_t minimum,
                         std::int32_t maximum);

// Collects the small steps of high-resolution wheels and touchpads into whole notches,
// so that a touchpad's many tiny steps scroll as far as a wheel's notches over the same
// distance instead of three lines each. A change of direction drops what was collected.
class WheelAccumulator {
 public:
  // Adds one event's distance (positive away from the user) and returns the whole notches
  // now complete: positive away from the user, negative toward, 0 for none yet.
  std::int32_t add(std::int32_t delta);

 private:
  std::int32_t pending_ = 0;
};

struct TableCell {
  std::int32_t row = 0;      // 0..7, the line on screen
  std::int32_t column = 0;   // 0..bytes_per_line - 1
  std::int32_t address = 0;  // the byte's address in its image
};

// The cell under the point x, y (twips from the grid's origin) when the table's first
// line is first_line and its image holds image_size bytes; nothing left of the first
// byte, right of the last, below the eighth line, or past the image's end.
std::optional<TableCell> cell_under_pointer(const TableLayout& table, double x, double y,
                                            std::int32_t first_line, std::int32_t image_size);

// The value Enter stores for the typed text: one to four hex digits of either case
// (leading zeros supplied; of a longer text only the last four count). Nothing for an
// empty text, a text that is not hex, or a value above 255.
std::optional<std::uint8_t> typed_byte(std::string_view text);

}  // namespace tessaflex::ui
