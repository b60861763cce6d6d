// The file-system operations of the HEX commands, behind a seam that tests can make fail.
#include "hexfile/file_access.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace tessaflex::hexfile {
namespace {

QString file_name(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

FileError error(FileError::Stage stage, const QString& detail) { return {stage, detail.toStdString()}; }

}  // namespace

bool LocalFileAccess::exists(const std::string& path) { return QFileInfo::exists(file_name(path)); }

FileError LocalFileAccess::read_all(const std::string& path, std::string& contents) {
  contents.clear();
  const QString name = file_name(path);
  // Opening a folder succeeds on some systems and then reads nothing; refuse it plainly.
  if (QFileInfo(name).isDir()) return error(FileError::Stage::read, QStringLiteral("It is a folder."));
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return error(FileError::Stage::read, file.errorString());
  // Read straight into the result; whatever follows the size known at opening (a file
  // that grows, a pipe) is read in blocks until its end.
  const qint64 size = file.size();
  std::size_t filled = 0;
  if (size > 0) {
    contents.resize(static_cast<std::size_t>(size));
    while (filled < contents.size()) {
      const qint64 got = file.read(contents.data() + filled, static_cast<qint64>(contents.size() - filled));
      if (got <= 0) break;
      filled += static_cast<std::size_t>(got);
    }
    contents.resize(filled);
  }
  char block[65536];
  for (;;) {
    const qint64 got = file.read(block, sizeof block);
    if (got == 0) break;
    if (got < 0) {
      const QString reason = file.errorString();
      contents.clear();
      return error(FileError::Stage::read, reason);
    }
    contents.append(block, static_cast<std::size_t>(got));
  }
  return {};
}

FileError LocalFileAccess::replace(const std::string& path, std::string_view contents) {
  // QSaveFile writes a temporary file in the same folder and renames it over the target
  // on commit; without the direct-write fallback a folder where no temporary file can be
  // made fails here instead of overwriting the old file in place.
  QSaveFile file(file_name(path));
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return error(FileError::Stage::create, file.errorString());
  const auto size = static_cast<qint64>(contents.size());
  if (file.write(contents.data(), size) != size) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return error(FileError::Stage::write, reason);
  }
  if (!file.commit()) return error(FileError::Stage::replace, file.errorString());
  return {};
}

}  // namespace tessaflex::hexfile
