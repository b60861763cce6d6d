// The Intel HEX writer: the memory images as the text of a HEX file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/memory_images.h"
#include "hexfile/file_access.h"

namespace tessaflex::hexfile {

// The number of leading bytes of image that the writer writes: up to its last byte that
// is not FF, rounded up to an even count (whole 16-bit words), 0 for a blank image. An
// image of odd size whose last byte is used ends at that byte: nothing past the image is
// ever named.
std::size_t used_length(const std::vector<std::uint8_t>& image);

// The HEX file for images, lines ended by CR LF, each memory at its address in
// devices/memory_map.h: FLASH (when not blank) under extended linear address records at
// every 64 KB boundary; the configuration bytes, always (an entry of -1 written as FF);
// EEPROM (when not blank); the end-of-file record. Data records hold 16 bytes, the last of a part fewer.
// An EEPROM beyond 64 KB gets a further extended linear address record at each 64 KB
// boundary, so every byte is read back at its own address. Linear in the images' size.
std::string hex_file_text(const devices::MemoryImages& images);

// Writes hex_file_text(images) to path through files, replacing a file that is there
// atomically. On failure the old file is left as it was and the error says why.
FileError write_hex_file(const std::string& path, const devices::MemoryImages& images, FileAccess& files);

}  // namespace tessaflex::hexfile
