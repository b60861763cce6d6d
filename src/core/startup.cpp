// What the program settles before any window exists: a graphical session, one instance,
// its folder, its title.
#include "core/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <string_view>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tessaflex::core {

std::string folder_with_separator(std::string folder) {
  const char separator = QDir::separator().toLatin1();
  if (folder.empty() || (folder.back() != separator && folder.back() != '/')) folder += separator;
  return folder;
}

// Graphical session ------------------------------------------------------------------

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Whether Qt's platform plugin `name` (options after ':' stripped) can start here.
bool platform_usable(std::string_view name, const SessionEnvironment& session) {
  name = name.substr(0, name.find(':'));
  if (name == "xcb") return !session.display.empty();
  if (name.substr(0, 7) == "wayland") return !session.wayland_display.empty();
  return !name.empty();  // a platform of its own (offscreen, vnc, eglfs, ...)
}

}  // namespace

SessionEnvironment current_session(int argc, const char* const* argv) {
  SessionEnvironment session;
  session.platform = environment("QT_QPA_PLATFORM");
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-platform" || arg == "--platform") session.platform = argv[i + 1];
  }
  session.display = environment("DISPLAY");
  session.wayland_display = environment("WAYLAND_DISPLAY");
  return session;
}

std::string missing_session_message(const SessionEnvironment& session) {
  bool usable = false;
  if (session.platform.empty()) {
    // Qt's own choice: Wayland when its display is named, else X11.
    usable = !session.display.empty() || !session.wayland_display.empty();
  } else {
    std::string_view list = session.platform;
    while (!usable && !list.empty()) {
      const auto end = list.find(';');
      usable = platform_usable(list.substr(0, end), session);
      list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    }
  }
  if (usable) return {};
  return std::string(kProgramTitle) +
         " is a desktop program and needs a graphical session, but no display is set (DISPLAY, "
         "WAYLAND_DISPLAY); for scripted use without one, set QT_QPA_PLATFORM=offscreen.";
}

std::string graphical_session_problem(int argc, const char* const* argv) {
#if defined(_WIN32) || defined(__APPLE__)
  (void)argc;
  (void)argv;
  return {};
#else
  return missing_session_message(current_session(argc, argv));
#endif
}

// Single instance --------------------------------------------------------------------

namespace {

// Whether a live process holds the lock file at path. Qt's lock holder keeps an
// exclusive flock on the file for as long as it runs, and the kernel drops it when the
// process ends, so this holds even when the recorded process number has been reused.
bool held_by_live_process(const QString& path) {
#ifdef _WIN32
  // Qt opens the lock file without sharing there: a failure to create it is a holder.
  (void)path;
  return true;
#else
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);  // also drops a lock this probe took
  return held;
#endif
}

std::string why_not_taken(const QString& path, QLockFile::LockError error) {
  const QFileInfo info(path);
  if (info.isDir()) return "a folder of that name is in the way";
  if (error == QLockFile::PermissionError) return "no permission to create it in its folder";
  if (!info.dir().exists()) return "its folder does not exist";
  if (info.exists()) return "it is not held by any running instance but cannot be taken over";
  return "it cannot be created";
}

}  // namespace

std::string InstanceLock::default_path() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return (folder + QStringLiteral("/tessaflex.lock")).toStdString();
}

InstanceLock::InstanceLock(const std::string& path)
    : path_(path), lock_(std::make_unique<QLockFile>(QString::fromStdString(path))) {}

LockResult InstanceLock::acquire() {
  // A stale lock (its process gone) is removed by QLockFile itself; a live one is not.
  if (lock_->tryLock(0)) return {LockStatus::acquired, {}};
  const QString path = QString::fromStdString(path_);
  const QLockFile::LockError error = lock_->error();
  if (error == QLockFile::LockFailedError && held_by_live_process(path)) {
    return {LockStatus::another_instance, {}};
  }
  return {LockStatus::unavailable, "cannot take the single-instance lock " + path_ + ": " +
                                       why_not_taken(path, error) + "; starting without it."};
}

}  // namespace tessaflex::core
