// What the program settles before any window exists: a graphical session, one instance,
// its folder, its title.
#include "core/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

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

std::string unopened_session_message(const SessionEnvironment& session) {
  std::string tried;
  const auto add = [&tried](const char* what, const std::string& value, const char* variable) {
    if (value.empty()) return;
    tried += (tried.empty() ? " " : ", ") + std::string(what) + " \"" + value + "\" (" + variable + ")";
  };
  add("Qt platform", session.platform, "QT_QPA_PLATFORM");
  add("X11 display", session.display, "DISPLAY");
  add("Wayland display", session.wayland_display, "WAYLAND_DISPLAY");
  std::string check = session.platform.empty() ? "" : "the Qt platform is installed and can start here";
  if (!session.display.empty() || !session.wayland_display.empty())
    check += (check.empty() ? "" : " and that ") +
             std::string(
                 "the display server named there runs and lets this user in (after ssh or su it often "
                 "does not)");
  return std::string(kProgramTitle) + " could not open its graphical session on" + tried + "; check that " +
         check + "; for scripted use without a display, set QT_QPA_PLATFORM=offscreen.";
}

std::string unloaded_plugin_message(const std::string& plugin) {
  const std::string named =
      plugin.empty() ? "its Qt platform plugin" : "the Qt platform plugin \"" + plugin + "\"";
  return std::string(kProgramTitle) + " could not start " + named +
         "; Qt's messages above say what failed, and QT_DEBUG_PLUGINS=1 shows which library did not load.";
}

namespace {

// Qt's message handler is a plain function, so what it needs lives here while a guard does.
struct HeldMessage {
  QtMsgType type;
  std::string file, function, category;
  int line;
  QString text;

  QMessageLogContext context() const {
    const auto text_or_null = [](const std::string& value) {
      return value.empty() ? nullptr : value.c_str();
    };
    return {text_or_null(file), line, text_or_null(function), text_or_null(category)};
  }
};
struct OpeningState {
  std::mutex mutex;
  QtMessageHandler previous = nullptr;
  std::vector<HeldMessage> held;
  SessionEnvironment session;
  bool pass_through = false;  // QT_DEBUG_PLUGINS: the user asked for Qt's whole account as it comes
};
OpeningState& opening_state() {
  static OpeningState state;
  return state;
}

// As Qt's default handler writes a message (QT_MESSAGE_PATTERN included); Qt's own output
// functions cannot be called from inside a message handler.
void print_as_qt_does(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

// Whether Qt's messages name why no platform started: a display server it could not reach
// (xcb: "could not connect to display", Wayland: "Failed to create wl_display") before a
// plugin's "Could not load ... even though it was found", or a platform name it could not
// find (qguiapplication.cpp). The first plugin that failed without a reason of that kind is
// the unexplained one; a failure Qt names no platform for at all is unexplained too.
struct PlatformFailure {
  bool explained = false;
  std::string unexplained_plugin;
};
PlatformFailure read_platform_failure(const std::vector<HeldMessage>& held) {
  bool platform_named = false;
  bool unreachable = false;  // since the last plugin that failed
  std::optional<std::string> unexplained;
  for (const HeldMessage& message : held) {
    const QString& text = message.text;
    if (text.startsWith(QLatin1String("could not connect to display")) ||
        text.startsWith(QLatin1String("Failed to create wl_display"))) {
      unreachable = true;
    } else if (text.startsWith(QLatin1String("Could not find the Qt platform plugin"))) {
      platform_named = true;
    } else if (text.startsWith(QLatin1String("Could not load the Qt platform plugin"))) {
      platform_named = true;
      if (!unreachable && !unexplained) unexplained = text.section(u'"', 1, 1).toStdString();
      unreachable = false;
    }
  }
  return {platform_named && !unexplained, unexplained.value_or("")};
}

void hold_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  OpeningState& state = opening_state();
  const std::lock_guard lock(state.mutex);
  if (type == QtFatalMsg) {
    const PlatformFailure failure = read_platform_failure(state.held);
    if (!failure.explained && !state.pass_through)
      for (const HeldMessage& message : state.held)
        print_as_qt_does(message.type, message.context(), message.text);
    if (!failure.explained || state.pass_through) print_as_qt_does(type, context, text);
    const std::string line = failure.explained ? unopened_session_message(state.session)
                                               : unloaded_plugin_message(failure.unexplained_plugin);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    // Qt aborts once the handler returns; its half-built objects are not worth a clean exit.
    std::_Exit(1);
  }
  if (state.pass_through) print_as_qt_does(type, context, text);
  const auto copy = [](const char* value) { return value == nullptr ? std::string() : std::string(value); };
  state.held.push_back(
      {type, copy(context.file), copy(context.function), copy(context.category), context.line, text});
}

}  // namespace

SessionOpeningGuard::SessionOpeningGuard(SessionEnvironment session) {
  OpeningState& state = opening_state();
  const std::lock_guard lock(state.mutex);
  state.session = std::move(session);
  // Qt itself reads the variable this way (qfactoryloader.cpp).
  state.pass_through = qEnvironmentVariableIntValue("QT_DEBUG_PLUGINS") > 0;
  state.previous = qInstallMessageHandler(hold_message);
}

SessionOpeningGuard::~SessionOpeningGuard() {
  OpeningState& state = opening_state();
  std::vector<HeldMessage> held;
  bool shown = false;
  {
    const std::lock_guard lock(state.mutex);
    qInstallMessageHandler(state.previous);
    held.swap(state.held);
    shown = state.pass_through;
  }
  if (shown) return;
  for (const HeldMessage& message : held) qt_message_output(message.type, message.context(), message.text);
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
