// The per-user settings of the program: text and 32-bit number values under one key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::core {

// Reads and writes the settings under the key "Software\Tessaflex": the registry on
// Windows, an INI file in the per-user config folder elsewhere. Nothing is cached: every
// call opens the store, does its one read or write and closes it, so a value changed by
// hand while the program runs is seen at the next read. Failures are silent: a read that
// cannot reach the store gives its default, a lost write is lost.
class SettingsStore {
 public:
  // The program's own per-user store.
  static SettingsStore per_user();
  // A store kept in the INI file at ini_path (created when first written).
  explicit SettingsStore(std::string ini_path);

  // The stored text of name. A missing value is created with default_value, which is
  // returned. A value that cannot be read as text (a type the program never writes, an
  // empty variant) gives the default and is left as it is; a number stored under a text
  // setting reads as its decimal text; a long text is read whole; a text typed into the INI
  // file with unquoted commas reads as typed, blanks included, and later writes keep it.
  std::string get_setting(std::string_view name, std::string_view default_value) const;

  // The stored 32-bit number of name; "Sub\Name" reads value Name of the sub-key Sub.
  // A missing value is created with default_value, which is returned. A value that is not
  // a 32-bit number (text, no data, an empty variant) gives the default and is left as it
  // is. Numbers from 2^31 to 2^32 - 1 read as their 32-bit two's complement, as a
  // registry DWORD does.
  std::int32_t get_setting_dword(std::string_view name, std::int32_t default_value) const;

  // Stores value as text under name, replacing what was there.
  void save_setting(std::string_view name, std::string_view value) const;

  // Where the values live: the INI file's path, or the registry key.
  const std::string& location() const { return location_; }

 private:
  SettingsStore(std::string location, bool native);
  std::string location_;
  bool native_ = false;
};

}  // namespace tessaflex::core
