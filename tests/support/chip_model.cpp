// A PIC18 chip at the level of its ICSP pins (stub, being written).
#include "support/chip_model.h"

namespace tessaflex::testing {

ChipModel::ChipModel(const ChipDevice& device) : device_(device) {
  flash_.assign(static_cast<std::size_t>(device_.flash_size), 0xFF);
  eeprom_.assign(static_cast<std::size_t>(device_.eeprom_size), 0xFF);
  erase_all();
}
void ChipModel::power_up(bool, std::int64_t) {}
void ChipModel::power_down(std::int64_t) {}
int ChipModel::clock(Pgd, std::int64_t, std::int64_t) { return -1; }
void ChipModel::advance_to(std::int64_t) {}
std::uint8_t ChipModel::icsp_read(std::uint32_t) const { return 0; }
void ChipModel::set_flash(std::int32_t a, std::uint8_t v) {
  if (a >= 0 && a < device_.flash_size) flash_[static_cast<std::size_t>(a)] = v;
}
void ChipModel::set_eeprom(std::int32_t a, std::uint8_t v) {
  if (a >= 0 && a < device_.eeprom_size) eeprom_[static_cast<std::size_t>(a)] = v;
}
void ChipModel::set_id(std::int32_t i, std::uint8_t v) {
  if (i >= 0 && i < 8) ids_[static_cast<std::size_t>(i)] = v;
}
void ChipModel::set_config(std::int32_t i, std::uint8_t v) {
  if (i >= 0 && i < 14) config_[static_cast<std::size_t>(i)] = v & device_.config_mask[static_cast<std::size_t>(i)];
}
void ChipModel::erase_all() {
  std::fill(flash_.begin(), flash_.end(), 0xFF);
  std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  ids_.fill(0xFF);
  config_ = device_.config_erased;
  devid_ = device_.devid;
}
void ChipModel::record(ViolationKind kind, std::string detail) {
  violations_.push_back({kind, std::move(detail), report_index_, now_us_});
}

}  // namespace tessaflex::testing
