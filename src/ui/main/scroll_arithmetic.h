// The arithmetic of the table scroll bars and the mouse wheel, apart from any widget.
#pragma once

#include <cstdint>

namespace tessaflex::ui {

// Lines the wheel moves a table per notch.
inline constexpr std::int32_t kWheelLines = 3;
// The wheel distance of one notch, in the units a wheel event reports.
inline constexpr std::int32_t kWheelNotch = 120;

// The last first line a table can show so that its eight lines end at the image's last
// byte: size / bytes_per_line - 8, rounded half to even, kept to the scroll bars' 16-bit
// range; 0 for an empty image.
std::int32_t scroll_maximum(std::int32_t size, std::int32_t bytes_per_line);

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

}  // namespace tessaflex::ui
