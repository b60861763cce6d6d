// The selected model's working values, and turning a device list entry into them.
#include "devices/current_device.h"

#include <algorithm>
#include <limits>

#include "core/ascii_case.h"
#include "core/decimal.h"
#include "core/hex_text.h"

namespace tessaflex::devices {
namespace {

// The nearest whole number, saturated at the 32-bit limits.
std::int64_t whole(std::string_view text) {
  const double x = core::round_half_even(core::text_to_number(text));
  if (!(x == x)) return 0;
  constexpr auto lo = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  constexpr auto hi = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int64_t>(std::clamp(x, lo, hi));
}

std::int32_t limit_size(std::int64_t n, std::int32_t min, std::int32_t max, std::int32_t line) {
  const std::int64_t clamped = std::clamp<std::int64_t>(n, min, max);
  return static_cast<std::int32_t>(clamped - clamped % line);
}

}  // namespace

StatementList split_statements(std::string_view algorithm) {
  std::string s = core::ascii_lower(algorithm);
  if (s.empty() || s.back() != ',') s += ',';
  StatementList out;
  std::size_t start = 0;
  while (start < s.size()) {
    const auto comma = s.find(',', start);
    out.emplace_back(s.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

std::array<std::int32_t, kConfigBytes> parse_configerased(std::string_view text) {
  const std::string upper = core::ascii_upper(text);
  std::array<std::int32_t, kConfigBytes> values{};
  for (std::size_t k = 0; k < kConfigBytes; ++k) {
    const std::size_t at = 3 * k;
    values[k] = at < upper.size() ? core::hex_to_byte(std::string_view(upper).substr(at, 2)) : -1;
  }
  return values;
}

bool apply_selected_model(const DeviceList& list, CurrentDevice& device) {
  const std::int32_t m = device.model_index;
  if (m < 1 || m > list.model_count || static_cast<std::size_t>(m) >= list.device_list.size()) {
    return false;
  }
  const DeviceModel& model = list.device_list[static_cast<std::size_t>(m)];
  device.model_name = model.model;
  device.flash_size = limit_size(whole(model.flash), kMinFlashSize, kMaxFlashSize, 16);
  const std::int64_t eeprom = whole(model.eeprom);
  device.eeprom_size = eeprom <= 0 ? 0 : limit_size(eeprom, kMinEepromSize, kMaxEepromSize, 8);
  device.configerased = parse_configerased(model.configerased);
  const std::string order = core::ascii_lower(model.voltageseq);
  if (order == "vddvpp") device.voltage_seq = 1;
  if (order == "vppvdd") device.voltage_seq = 2;
  device.prog_time = static_cast<std::int32_t>(whole(model.progtime));
  device.page_size = static_cast<std::int32_t>(whole(model.pagesize));
  for (std::size_t kind = 0; kind < kAlgorithmKinds; ++kind) {
    device.instructions[kind] = split_statements(model.algorithms[kind]);
  }
  return true;
}

}  // namespace tessaflex::devices
