// The Intel HEX writer: the memory images as the text of a HEX file.
#include "hexfile/hex_writer.h"

#include <algorithm>
#include <array>

#include "core/hex_text.h"
#include "devices/memory_map.h"

namespace tessaflex::hexfile {
namespace {

constexpr std::size_t kRecordBytes = 16;
// The upper 16 bits of an address go in an extended linear address record, the lower in
// the data record.
constexpr std::uint32_t upper(std::uint32_t address) { return address >> 16; }
constexpr std::uint32_t lower(std::uint32_t address) { return address & 0xFFFFu; }

// One record: ":", byte count, address, type, data, checksum, CR LF. The checksum is
// computed from the bytes themselves; it equals hex_checksum of the body written.
void append_record(std::string& out, std::uint32_t address, unsigned type, const std::uint8_t* data,
                   std::size_t count) {
  unsigned sum = static_cast<unsigned>(count) + ((address >> 8) & 0xFFu) + (address & 0xFFu) + type;
  out.push_back(':');
  core::append_byte_hex(out, static_cast<unsigned>(count));
  core::append_byte_hex(out, (address >> 8) & 0xFFu);
  core::append_byte_hex(out, address & 0xFFu);
  core::append_byte_hex(out, type);
  for (std::size_t i = 0; i < count; ++i) {
    core::append_byte_hex(out, data[i]);
    sum += data[i];
  }
  core::append_byte_hex(out, (0x100u - (sum & 0xFFu)) & 0xFFu);
  out += "\r\n";
}

void append_linear_address(std::string& out, std::uint32_t upper) {
  const std::array<std::uint8_t, 2> data = {static_cast<std::uint8_t>(upper >> 8),
                                            static_cast<std::uint8_t>(upper & 0xFFu)};
  append_record(out, 0, 4, data.data(), data.size());
}

// The used part of image in 16-byte records from base, an extended linear address record
// before each record at a 64 KB boundary.
void append_part(std::string& out, const std::vector<std::uint8_t>& image, std::size_t used,
                 std::uint32_t base) {
  const std::uint32_t first_upper = upper(base);
  for (std::size_t offset = 0; offset < used; offset += kRecordBytes) {
    if (offset % 65536 == 0)
      append_linear_address(out, first_upper + static_cast<std::uint32_t>(offset / 65536));
    append_record(out, static_cast<std::uint32_t>(offset & 0xFFFFu), 0, image.data() + offset,
                  std::min(kRecordBytes, used - offset));
  }
}

// Characters of the records for n data bytes: 13 per record (":", count, address, type,
// checksum, CR LF) and 2 per byte.
std::size_t part_size(std::size_t n) {
  return (n + kRecordBytes - 1) / kRecordBytes * 13 + 2 * n + 17 * (n / 65536 + 1);
}

}  // namespace

std::size_t used_length(const std::vector<std::uint8_t>& image) {
  std::size_t end = image.size();
  while (end > 0 && image[end - 1] == devices::kErasedByte) --end;
  if (end == 0) return 0;
  // end is the used end + 1; an odd end means the used end is even, so one byte more.
  if (end % 2 == 1) ++end;
  return std::min(end, image.size());
}

std::string hex_file_text(const devices::MemoryImages& images) {
  const std::size_t flash_used = used_length(images.flash_image);
  const std::size_t eeprom_used = used_length(images.eeprom_image);
  std::string out;
  out.reserve(part_size(flash_used) + part_size(eeprom_used) + 3 * 17 + 13 + 28);

  static_assert(lower(devices::kFlashBase) == 0 && lower(devices::kEepromBase) == 0,
                "a part begins at a 64 KB boundary");
  append_part(out, images.flash_image, flash_used, devices::kFlashBase);

  append_linear_address(out, upper(devices::kConfigBase));
  std::array<std::uint8_t, devices::kConfigBytes> config{};
  std::transform(images.config_image.begin(), images.config_image.end(), config.begin(),
                 [](std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); });
  append_record(out, lower(devices::kConfigBase), 0, config.data(), config.size());

  append_part(out, images.eeprom_image, eeprom_used, devices::kEepromBase);

  append_record(out, 0, 1, nullptr, 0);
  return out;
}

FileError write_hex_file(const std::string& path, const devices::MemoryImages& images, FileAccess& files) {
  return files.replace(path, hex_file_text(images));
}

}  // namespace tessaflex::hexfile
