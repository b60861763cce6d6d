// The Intel HEX reader: loads a HEX file's records into the memory images.
#include "hexfile/hex_reader.h"

#include <algorithm>
#include <array>

#include "core/hex_text.h"
#include "devices/memory_map.h"
#include "hexfile/hex_checksum.h"

namespace tessaflex::hexfile {
namespace {

struct ReasonRow {
  HexReason reason;
  std::string_view text;
};

// Every reason the reader can give, with the text the user reads after the line number.
constexpr std::array<ReasonRow, 10> kReasons = {{
    {HexReason::no_start_code, ": The record does not begin with ':' simbol."},
    {HexReason::too_short, ": The record is too short."},
    {HexReason::bad_checksum, ": Invalid 'checksum' field in the record."},
    {HexReason::bad_record_type, ": Invalid 'record type' field in the record."},
    {HexReason::bad_linear_address_record, ": Invalid '04 type' record."},
    {HexReason::bad_byte_count, ": Invalid 'number of bytes' field in the record."},
    {HexReason::bad_address, ": Invalid 'address' field in the record."},
    {HexReason::wrong_data_length, ": The record does not contain the specified number of bytes."},
    {HexReason::bad_data_byte, ": Invalid data byte in the record."},
    {HexReason::bad_segment_address_record, ": Invalid '02 type' record."},
}};

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kErrorHeading = "Input program file in Intel Hex Format contains errors.";

// The address map as inclusive ranges; FLASH is indexed by its address.
static_assert(devices::kFlashBase == 0);
constexpr std::uint64_t kIdFirst = devices::kIdBase, kIdLast = kIdFirst + devices::kIdBytes - 1;
constexpr std::uint64_t kDeviceIdFirst = devices::kDeviceIdBase,
                        kDeviceIdLast = kDeviceIdFirst + devices::kDeviceIdBytes - 1;
constexpr std::uint64_t kConfigFirst = devices::kConfigBase,
                        kConfigLast = kConfigFirst + devices::kConfigBytes - 1;
constexpr std::uint64_t kEepromBase = devices::kEepromBase;

// A 4-digit field at p, or -1, exactly as core::hex_to_word reads it.
int word_value(const char* p) {
  const int high = core::hex_pair_value(p);
  const int low = core::hex_pair_value(p + 2);
  if (high < 0 || low < 0) return -1;
  return high * 256 + low;
}

// The addresses of the out-of-range bytes, in order and with repeats. Only the first 16
// and the last 8 can ever be shown, so only those are kept: the list of a file with
// millions of such bytes costs no more than that of a file with 25.
class OutOfRangeList {
 public:
  void add(std::uint64_t address) {
    if (count_ < first_.size()) first_[count_] = address;
    last_[count_ % last_.size()] = address;
    ++count_;
  }

  // Addresses start, start + 1, ..., start + n - 1.
  void add_run(std::uint64_t start, std::uint64_t n) {
    std::uint64_t k = 0;
    // Entries past the 16th and before the run's last 8 are only counted.
    while (k < n && count_ < first_.size()) add(start + k++);
    if (n - k > last_.size()) {
      count_ += n - k - last_.size();
      k = n - last_.size();
    }
    while (k < n) add(start + k++);
  }

  std::uint64_t count() const { return count_; }

  // The entries as the warning shows them: each address as 6 hex digits (its low 24 bits)
  // joined by ", "; with more than 24 entries the first 16, "..., " and the last 8; a
  // final ".".
  std::string text() const {
    std::string out;
    out.reserve(25 * 8 + 8);
    auto entry = [&](std::uint64_t address) {
      out += core::addr_to_hex(static_cast<std::int64_t>(address & 0xFFFFFF));
      out += ", ";
    };
    const std::uint64_t shown_first = std::min<std::uint64_t>(count_, first_.size());
    for (std::uint64_t i = 0; i < shown_first; ++i) entry(first_[i]);
    std::uint64_t tail_from = first_.size();
    if (count_ > first_.size() + last_.size()) {
      out += "..., ";
      tail_from = count_ - last_.size();
    }
    for (std::uint64_t i = tail_from; i < count_; ++i) entry(last_[i % last_.size()]);
    if (out.size() >= 2) out.resize(out.size() - 2);
    out += '.';
    return out;
  }

 private:
  std::array<std::uint64_t, 16> first_{};
  std::array<std::uint64_t, 8> last_{};  // ring: entry i at i % 8
  std::uint64_t count_ = 0;
};

class Reader {
 public:
  Reader(devices::MemoryImages& images, std::int32_t& flash_loaded_end)
      : images_(images),
        flash_loaded_end_(flash_loaded_end),
        flash_size_(images.flash_image.size()),
        eeprom_size_(images.eeprom_image.size()) {}

  HexReadResult read(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::int64_t line = 1;
    for (;;) {
      const char* q = p;
      while (q < end && *q != '\r' && *q != '\n') ++q;
      const Outcome outcome = record(std::string_view(p, static_cast<std::size_t>(q - p)));
      if (outcome == Outcome::failed) return refused(line);
      if (outcome == Outcome::end_of_file || q == end) break;
      // A run of k line-end characters (CR and LF alike) counts as ceil(k / 4) line breaks:
      // every CR becomes LF, two passes each turn LF LF into LF, and the lines are what
      // lies between the remaining LFs.
      const char* r = q;
      while (r < end && (*r == '\r' || *r == '\n')) ++r;
      line += (r - q + 3) / 4;
      p = r;
    }
    return accepted();
  }

 private:
  enum class Outcome { next, end_of_file, failed };

  Outcome fail(HexReason reason) {
    reason_ = reason;
    return Outcome::failed;
  }

  Outcome record(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (s.empty() || s.front() == ';') return Outcome::next;
    if (s.front() != ':') return fail(HexReason::no_start_code);
    if (s.size() < 11) return fail(HexReason::too_short);

    const std::string_view body = s.substr(1, s.size() - 3);
    const char* checksum = s.data() + s.size() - 2;
    if (core::hex_pair_value(checksum) != static_cast<int>(hex_checksum_value(body)))
      return fail(HexReason::bad_checksum);

    const int byte_count = core::hex_pair_value(s.data() + 1);
    const int address = word_value(s.data() + 3);
    const int type = core::hex_pair_value(s.data() + 7);
    const std::string_view data = s.substr(9, s.size() - 11);

    switch (type) {
      case 0:
        return data_record(byte_count, address, data);
      case 1:
        return Outcome::end_of_file;
      case 2: {
        const int value = data.size() == 4 ? word_value(data.data()) : -1;
        if (data.empty() || data.back() != '0' || value < 0 || address != 0)
          return fail(HexReason::bad_segment_address_record);
        segment_base_ = static_cast<std::uint64_t>(value);
        return Outcome::next;
      }
      case 4: {
        const int value = data.size() == 4 ? word_value(data.data()) : -1;
        if (value < 0 || address != 0) return fail(HexReason::bad_linear_address_record);
        linear_base_ = static_cast<std::uint64_t>(value);
        return Outcome::next;
      }
      case 5:
        return Outcome::next;
      default:
        return fail(HexReason::bad_record_type);
    }
  }

  Outcome data_record(int byte_count, int address, std::string_view data) {
    if (data.empty()) return Outcome::next;
    if (byte_count < 0) return fail(HexReason::bad_byte_count);
    if (address < 0) return fail(HexReason::bad_address);
    const auto count = static_cast<std::uint64_t>(byte_count);
    if (data.size() != 2 * count) return fail(HexReason::wrong_data_length);

    // Both bases are added; with 64 bits no address can wrap.
    const std::uint64_t start =
        linear_base_ * 65536 + segment_base_ * 16 + static_cast<std::uint64_t>(address);
    const char* p = data.data();

    if (start + count <= flash_size_) {
      // The common case, the whole record in FLASH.
      for (std::uint64_t k = 0; k < count; ++k) {
        const int value = core::hex_pair_value(p + 2 * k);
        if (value < 0) return fail(HexReason::bad_data_byte);
        images_.flash_image[start + k] = static_cast<std::uint8_t>(value);
        raise_flash_end(start + k);
      }
      return Outcome::next;
    }
    if (!touches_a_memory(start, count)) {
      out_of_range_.add_run(start, count);
      return Outcome::next;
    }
    for (std::uint64_t k = 0; k < count; ++k) {
      if (!place(start + k, p + 2 * k)) return fail(HexReason::bad_data_byte);
    }
    return Outcome::next;
  }

  // True when any of the addresses start..start + count - 1 lies in ranges 1 to 4.
  bool touches_a_memory(std::uint64_t start, std::uint64_t count) const {
    const std::uint64_t last = start + count - 1;
    auto overlaps = [&](std::uint64_t first, std::uint64_t final_address) {
      return start <= final_address && last >= first;
    };
    return start < flash_size_ || overlaps(kIdFirst, kIdLast) || overlaps(kDeviceIdFirst, kDeviceIdLast) ||
           overlaps(kConfigFirst, kConfigLast) ||
           (eeprom_size_ > 0 && overlaps(kEepromBase, kEepromBase + eeprom_size_ - 1));
  }

  void raise_flash_end(std::uint64_t address) {
    const auto end = static_cast<std::int32_t>(address + 1);
    if (end > flash_loaded_end_) flash_loaded_end_ = end;
  }

  // One data byte by the address map; false when it belongs to a memory and is not hex.
  bool place(std::uint64_t address, const char* pair) {
    const bool is_flash = address < flash_size_;
    const bool is_id = (address >= kIdFirst && address <= kIdLast) ||
                       (address >= kDeviceIdFirst && address <= kDeviceIdLast);
    const bool is_config = address >= kConfigFirst && address <= kConfigLast;
    const bool is_eeprom = address >= kEepromBase && address - kEepromBase < eeprom_size_;
    if (!(is_flash || is_id || is_config || is_eeprom)) {
      out_of_range_.add(address);  // never checked
      return true;
    }
    const int value = core::hex_pair_value(pair);
    if (value < 0) return false;
    if (is_flash) {
      images_.flash_image[address] = static_cast<std::uint8_t>(value);
      raise_flash_end(address);
    } else if (is_config) {
      images_.config_image[address - kConfigFirst] = value;
    } else if (is_eeprom) {
      images_.eeprom_image[address - kEepromBase] = static_cast<std::uint8_t>(value);
    }
    return true;  // ID and device-ID bytes are dropped once checked
  }

  HexReadResult refused(std::int64_t line) const {
    HexReadResult result;
    result.status = HexReadStatus::refused;
    result.reason = reason_;
    result.line = line;
    result.out_of_range = out_of_range_.count();
    std::string text;
    text.append(kErrorHeading).append(kCrLf).append("Line number ").append(std::to_string(line));
    text.append(reason_text(reason_));
    result.messages.push_back({std::move(text), core::BoxKind::error});
    return result;
  }

  HexReadResult accepted() const {
    HexReadResult result;
    result.out_of_range = out_of_range_.count();
    if (result.out_of_range > 0) {
      std::string text = "Warning!";
      text.append(kCrLf).append(kErrorHeading).append(kCrLf);
      text.append("There are data for ").append(std::to_string(result.out_of_range));
      text.append(" addresses out of range:").append(kCrLf);
      text.append(out_of_range_.text()).append(kCrLf);
      result.messages.push_back({std::move(text), core::BoxKind::information});
    }
    return result;
  }

  devices::MemoryImages& images_;
  std::int32_t& flash_loaded_end_;
  const std::uint64_t flash_size_;
  const std::uint64_t eeprom_size_;
  std::uint64_t linear_base_ = 0;
  std::uint64_t segment_base_ = 0;
  OutOfRangeList out_of_range_;
  HexReason reason_ = HexReason::none;
};

}  // namespace

std::string_view reason_text(HexReason reason) {
  for (const ReasonRow& row : kReasons) {
    if (row.reason == reason) return row.text;
  }
  return {};
}

HexReadResult read_hex_text(std::string_view text, devices::MemoryImages& images,
                            std::int32_t& flash_loaded_end) {
  return Reader(images, flash_loaded_end).read(text);
}

HexReadResult read_hex_file(const std::string& path, FileAccess& files, devices::MemoryImages& images,
                            std::int32_t& flash_loaded_end) {
  std::string text;
  const FileError error = files.read_all(path, text);
  if (error.failed()) {
    HexReadResult result;
    result.status = HexReadStatus::unreadable;
    std::string message = "The file " + path + " cannot be read:";
    message.append(kCrLf).append(error.detail);
    result.messages.push_back({std::move(message), core::BoxKind::error});
    return result;
  }
  return read_hex_text(text, images, flash_loaded_end);
}

}  // namespace tessaflex::hexfile
