// The arithmetic of the table scroll bars and the mouse wheel, apart from any widget.
#include "ui/main/scroll_arithmetic.h"

#include <algorithm>

#include "core/decimal.h"
#include "ui/main/table_text.h"

namespace tessaflex::ui {

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

}  // namespace tessaflex::ui
