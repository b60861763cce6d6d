// What start-up settles: the graphical session, the program folder, the single-instance lock.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

namespace tessaflex::core {
namespace {

// Only a platform with something to show on passes: platform, DISPLAY, WAYLAND_DISPLAY.
TEST(Startup, ProgramFolderAndGraphicalSession) {
  EXPECT_EQ(folder_with_separator("/opt/T") + folder_with_separator("/opt/T/") + folder_with_separator(""),
            "/opt/T//opt/T//");
  // clang-format off
  const std::pair<SessionEnvironment, bool> cases[] = {
      {{"", "", ""}, false}, {{"", ":0", ""}, true}, {{"", "", "wayland-0"}, true}, {{"xcb", "", "wayland-0"}, false},
      {{"wayland", ":0", ""}, false}, {{"wayland-egl", "", "wayland-0"}, true}, {{"xcb:nograb", ":1", ""}, true},
      {{"wayland;xcb", ":0", ""}, true}, {{"offscreen", "", ""}, true}, {{";", "", ""}, false}};
  // clang-format on
  for (const auto& [session, usable] : cases)
    EXPECT_EQ(missing_session_message(session).empty(), usable) << session.platform << session.display;
  // An argument overrides the environment.
  const char* argv[] = {"tessaflex", "-platform", "offscreen", "--platform", "vnc"};
  EXPECT_EQ(current_session(3, argv).platform + current_session(5, argv).platform, "offscreenvnc");
}

// Only a live holder is another instance; a path that cannot hold a lock lets the program go on and say why.
TEST(Startup, TheLockTellsAnotherInstanceFromAPathThatCannotHoldIt) {
  enum In { nothing, held, folder, junk };  // what stands at the path
  const std::tuple<const char*, In, const char*> cases[] = {
      {"tessaflex.lock", held, ""},
      {"tessaflex.lock", folder, "a folder of that name"},
      {"gone/tessaflex.lock", nothing, "its folder does not exist"},
      {"tessaflex.lock", junk, "it is not held by any running instance"}};
  for (const auto& [name, in, reason] : cases) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/" + name).toStdString();
    InstanceLock holder(path);
    ASSERT_TRUE(in != held || holder.acquire().status == LockStatus::acquired);
    if (in == folder) QDir().mkpath(QString::fromStdString(path));
    if (in == junk) std::ofstream(path) << "not a lock\n";
    const LockResult result = InstanceLock(path).acquire();
    const std::string why = in == held ? "" : "cannot take the single-instance lock " + path + ": " + reason;
    EXPECT_TRUE(result.status == (in == held ? LockStatus::another_instance : LockStatus::unavailable) &&
                bool(result) == (in != held) && result.reason.starts_with(why))
        << result.reason;
  }
}

}  // namespace
}  // namespace tessaflex::core
