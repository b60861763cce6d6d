// The Intel HEX reader: loads a HEX file's records into the memory images.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/memory_images.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_message.h"

namespace tessaflex::hexfile {

// Why a record was refused. The numbers are the ones the user sees; 8, 9 and 12 are unused.
enum class HexReason : int {
  none = 0,
  no_start_code = 1,
  too_short = 2,
  bad_checksum = 3,
  bad_record_type = 4,
  bad_linear_address_record = 5,
  bad_byte_count = 6,
  bad_address = 7,
  wrong_data_length = 10,
  bad_data_byte = 11,
  bad_segment_address_record = 13,
};

// The text appended to "Line number " and the line number for reason (it begins with
// ": "); empty for none.
std::string_view reason_text(HexReason reason);

enum class HexReadStatus {
  accepted,    // every record up to the end-of-file record (or the last line) was taken
  refused,     // a record failed a check; the reading stopped there
  unreadable,  // the file could not be read at all
};

struct HexReadResult {
  HexReadStatus status = HexReadStatus::accepted;
  HexReason reason = HexReason::none;  // when refused
  std::int64_t line = 0;               // when refused: the refused record's line number
  std::uint64_t out_of_range = 0;      // data bytes at addresses that fit no memory
  // The boxes to show, in this order: the error box of a refusal, the warning of an
  // accepted file with out-of-range bytes, or the box of an unreadable file; at most one.
  std::vector<HexMessage> messages;

  bool accepted() const { return status == HexReadStatus::accepted; }
};

// Reads the Intel HEX text into images, which the caller has sized and erased for the
// current model (the image sizes are the model's FLASH and EEPROM sizes). Overwrites only
// the bytes the records name, in record order, by the map of devices/memory_map.h: FLASH,
// configuration bytes and EEPROM are stored; bytes at the ID locations and the device ID
// are checked and dropped; bytes at any other address are counted and listed in a warning. Raises
// flash_loaded_end to the highest FLASH address stored plus 1 (it never lowers it).
// Stops at the end-of-file record or at the first bad record, whose reason and line
// number (counted over the file's lines as the reader normalises them) go into the
// result and its error box; bytes stored before the bad record (and before the bad byte
// of that record) stay in the images. Time and memory are linear in the text's length.
HexReadResult read_hex_text(std::string_view text, devices::MemoryImages& images,
                            std::int32_t& flash_loaded_end);

// read_hex_text of the file at path, read whole through files. A file that cannot be
// read changes nothing and gives status unreadable with a box that names the path and
// the system's reason.
HexReadResult read_hex_file(const std::string& path, FileAccess& files, devices::MemoryImages& images,
                            std::int32_t& flash_loaded_end);

}  // namespace tessaflex::hexfile
