// What the program settles before any window exists: one instance, its folder, its title.
#include "core/startup.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaflex::core {

std::string folder_with_separator(std::string folder) {
  const char separator = QDir::separator().toLatin1();
  if (folder.empty() || (folder.back() != separator && folder.back() != '/')) folder += separator;
  return folder;
}

std::string InstanceLock::default_path() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return (folder + QStringLiteral("/tessaflex.lock")).toStdString();
}

InstanceLock::InstanceLock(const std::string& path)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(path))) {}

bool InstanceLock::acquire() {
  // A stale lock (its process gone) is removed by QLockFile itself; a live one is not.
  return lock_->tryLock(0);
}

}  // namespace tessaflex::core
