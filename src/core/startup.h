// What the program settles before any window exists: one instance, its folder, its title.
#pragma once

#include <QLockFile>
#include <memory>
#include <string>

namespace tessaflex::core {

inline constexpr const char* kProgramTitle = "Tessaflex";
inline constexpr const char* kDeviceListName = "korvadevices.txt";

// Values fixed at start-up and never changed afterwards.
struct ProgramPaths {
  std::string app_path;  // the program's folder, ending in the folder separator
  std::string program_title = kProgramTitle;
  float dialog_scale = 1.0f;
};

// The folder with exactly one trailing separator. Case is kept: on a case-sensitive
// file system a lower-cased folder may name no folder at all.
std::string folder_with_separator(std::string folder);

// Holds the per-user lock that marks the running instance.
class InstanceLock {
 public:
  // The lock file in the per-user runtime folder.
  static std::string default_path();
  explicit InstanceLock(const std::string& path);

  // True when this is the only instance; the lock is then held until destruction.
  // A lock left by a crashed instance is taken over.
  bool acquire();

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace tessaflex::core
