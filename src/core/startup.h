// What the program settles before any window exists: a graphical session, one instance,
// its folder, its title.
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

// What decides whether Qt can open a window on an X11 or Wayland system.
struct SessionEnvironment {
  std::string platform;         // -platform argument, else QT_QPA_PLATFORM ("" when neither)
  std::string display;          // DISPLAY
  std::string wayland_display;  // WAYLAND_DISPLAY
};

// The session of this process: its environment and a "-platform NAME" (or "--platform")
// among the arguments, which Qt prefers to the environment.
SessionEnvironment current_session(int argc, const char* const* argv);

// The one line to show when Qt would find no display to open a window on, "" when it
// will find one. Qt's xcb and wayland platforms abort the program without a display
// server, so this is asked before the application object exists. A platform that needs
// no display server (offscreen, minimal, vnc, eglfs, ...) is taken at its word; in a
// fallback list ("wayland;xcb") one usable entry is enough.
std::string missing_session_message(const SessionEnvironment& session);

// missing_session_message(current_session(argc, argv)) where Qt uses X11 or Wayland;
// always "" on Windows and macOS, which need no display server.
std::string graphical_session_problem(int argc, const char* const* argv);

// The one line to show when Qt could not open the session it was given: a display server
// that does not answer or refuses this user, or a platform name Qt does not know. Names what
// was tried (platform, DISPLAY, WAYLAND_DISPLAY) and what to check.
std::string unopened_session_message(const SessionEnvironment& session);

// The line to show after Qt's own messages when a platform plugin could not start for a
// reason Qt alone knows (a library of the plugin missing or broken, say): it names the
// plugin (empty when Qt named none) and how to see which library failed.
std::string unloaded_plugin_message(const std::string& plugin);

// Held while the application object is built. Qt reports a platform it cannot open with a
// block of warnings and then aborts the program; while a guard lives, Qt's messages are
// held back, and Qt's fatal message ends the program with exit code 1 instead of an abort.
// Where Qt's messages leave no doubt about the cause (a display server that does not
// answer, an unknown platform name) one line, unopened_session_message, says it; otherwise
// Qt's messages are printed as Qt wrote them, then unloaded_plugin_message. With
// QT_DEBUG_PLUGINS set nothing is held back. When the guard ends (the session opened), the
// held messages go to the previous message handler, which is restored.
class SessionOpeningGuard {
 public:
  explicit SessionOpeningGuard(SessionEnvironment session);
  ~SessionOpeningGuard();
  SessionOpeningGuard(const SessionOpeningGuard&) = delete;
  SessionOpeningGuard& operator=(const SessionOpeningGuard&) = delete;
};

enum class LockStatus {
  acquired,          // this is the only instance; the lock is held until destruction
  another_instance,  // a live process holds the lock
  unavailable,       // the lock could not be taken for another reason (see reason)
};

struct LockResult {
  LockStatus status = LockStatus::unavailable;
  // For unavailable: one line naming the lock file and why it could not be taken.
  std::string reason;
  // True unless another instance runs: only then must the program end.
  explicit operator bool() const { return status != LockStatus::another_instance; }
};

// Holds the per-user lock that marks the running instance.
class InstanceLock {
 public:
  // The lock file in the per-user runtime folder.
  static std::string default_path();
  explicit InstanceLock(const std::string& path);

  // Takes the lock. A lock left by an instance that has ended is taken over. Only a
  // lock that a live process holds gives another_instance; a path that cannot hold a
  // lock (a folder of that name, a folder without write permission, a stale lock that
  // cannot be removed) gives unavailable with the reason, and the program may go on
  // without the lock.
  LockResult acquire();

 private:
  std::string path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace tessaflex::core
