// The file-system operations of the HEX commands, behind a seam that tests can make fail.
#pragma once

#include <string>
#include <string_view>

namespace tessaflex::hexfile {

// Why a file operation failed; stage none means it did not.
struct FileError {
  enum class Stage { none, read, create, write, replace };
  Stage stage = Stage::none;
  std::string detail;  // the system's reason, for the user ("Permission denied")

  bool failed() const { return stage != Stage::none; }
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;

  // True when something (a file or a folder) exists at path.
  virtual bool exists(const std::string& path) = 0;
  // Reads the whole file at path into contents (its bytes, unchanged). On failure contents
  // is empty and the error's stage is read.
  virtual FileError read_all(const std::string& path, std::string& contents) = 0;
  // Makes the file at path hold exactly contents, atomically: the new file is written
  // beside the old one and then renamed over it, so that on any failure (stage create,
  // write or replace) a file that was there before is left as it was.
  virtual FileError replace(const std::string& path, std::string_view contents) = 0;
};

// The local file system (QFile to read, QSaveFile to write). Paths are the system's
// 8-bit file names.
class LocalFileAccess final : public FileAccess {
 public:
  bool exists(const std::string& path) override;
  FileError read_all(const std::string& path, std::string& contents) override;
  FileError replace(const std::string& path, std::string_view contents) override;
};

}  // namespace tessaflex::hexfile
