// libFuzzer target: any bytes through the HEX reader, then the images through the writer and
// the reader again, which must give the same images back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "devices/memory_images.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace {

using tessaflex::devices::MemoryImages;

struct Model {
  std::size_t flash;
  std::size_t eeprom;
};

// Small and large models, one without EEPROM and one of odd sizes (the writer's edge).
constexpr Model kModels[] = {{32768, 256}, {8192, 0}, {131072, 1024}, {129, 65}};

MemoryImages erased(const Model& model) {
  MemoryImages images;
  images.flash_image.assign(model.flash, 0xFF);
  images.eeprom_image.assign(model.eeprom, 0xFF);
  for (std::size_t k = 0; k < images.config_image.size(); ++k)
    images.config_image[k] = static_cast<std::int32_t>(k);
  return images;
}

void require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace hexfile = tessaflex::hexfile;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The model depends on the length only, so seed files stay valid HEX for the reader.
  const Model& model = kModels[size % (sizeof kModels / sizeof kModels[0])];

  MemoryImages images = erased(model);
  std::int32_t flash_loaded_end = 0;
  const hexfile::HexReadResult result = hexfile::read_hex_text(text, images, flash_loaded_end);

  require(images.flash_image.size() == model.flash && images.eeprom_image.size() == model.eeprom);
  require(flash_loaded_end >= 0 && static_cast<std::size_t>(flash_loaded_end) <= model.flash);
  for (std::int32_t value : images.config_image) require(value >= 0 && value <= 255);
  if (result.status == hexfile::HexReadStatus::refused) {
    require(result.reason != hexfile::HexReason::none && result.line >= 1);
    require(result.messages.size() == 1 && result.messages[0].kind == tessaflex::core::BoxKind::error);
  } else {
    require(result.accepted() && result.reason == hexfile::HexReason::none);
    require(result.messages.size() == (result.out_of_range > 0 ? 1u : 0u));
  }

  // Whatever was loaded is written and read back unchanged, with no warning.
  const std::string written = hexfile::hex_file_text(images);
  MemoryImages again = erased(model);
  std::int32_t end_again = 0;
  const hexfile::HexReadResult reread = hexfile::read_hex_text(written, again, end_again);
  require(reread.accepted() && reread.messages.empty());
  require(again.flash_image == images.flash_image && again.eeprom_image == images.eeprom_image);
  require(again.config_image == images.config_image);
  require(static_cast<std::size_t>(end_again) == hexfile::used_length(images.flash_image));
  return 0;
}
