// The start-up values: the graphical session, the program folder's form and the
// single-instance lock.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tessaflex::core {
namespace {

TEST(Startup, ProgramFolderAndGraphicalSession) {
  for (const auto& [folder, expected] : {std::pair{"/opt/Tessaflex", "/opt/Tessaflex/"},
                                         {"/opt/Tessaflex/", "/opt/Tessaflex/"},
                                         {"/", "/"},
                                         {"", "/"}})
    EXPECT_EQ(folder_with_separator(folder), expected) << folder;
  // Only a platform with something to show on passes: platform, DISPLAY, WAYLAND_DISPLAY.
  // clang-format off
  const std::pair<SessionEnvironment, bool> cases[] = {
      {{"", "", ""}, false}, {{"", ":0", ""}, true}, {{"", "", "wayland-0"}, true},
      {{"xcb", "", "wayland-0"}, false}, {{"wayland", ":0", ""}, false}, {{"wayland-egl", "", "wayland-0"}, true},
      {{"xcb:nograb", ":1", ""}, true}, {{"wayland;xcb", ":0", ""}, true}, {{"offscreen", "", ""}, true},
      {{"vnc:size=800x600", "", ""}, true}, {{";", "", ""}, false}};
  // clang-format on
  for (const auto& [session, usable] : cases)
    EXPECT_EQ(missing_session_message(session).empty(), usable)
        << '"' << session.platform << "\" " << session.display;
  const char *argv[] = {"tessaflex", "-platform", "offscreen"},
             *double_dash[] = {"tessaflex", "--platform", "vnc"};
  EXPECT_EQ(current_session(3, argv).platform, "offscreen");  // an argument overrides the environment
  EXPECT_EQ(current_session(3, double_dash).platform, "vnc");
}

TEST(Startup, OnlyOneHolderOfTheLockAtATime) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + "/tessaflex.lock").toStdString();
  {
    InstanceLock first(path), second(path);
    ASSERT_EQ(first.acquire().status, LockStatus::acquired);
    const LockResult result = second.acquire();
    EXPECT_TRUE(result.status == LockStatus::another_instance && !result);
  }
  EXPECT_EQ(InstanceLock(path).acquire().status, LockStatus::acquired);  // released with its holder
}

// A lock path that cannot hold a lock is no other instance: the program goes on and says why.
TEST(Startup, ALockPathThatCannotHoldALockIsNoOtherInstance) {
  for (const auto& [lock_name, reason] : {std::pair{"tessaflex.lock", "a folder of that name"},
                                          {"gone/tessaflex.lock", "its folder does not exist"},
                                          {"tessaflex.lock", "not held by any running instance"}}) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/" + lock_name;
    if (std::string(reason).starts_with("a folder")) QDir().mkpath(path);
    QFile file(path);
    ASSERT_TRUE(!std::string(reason).starts_with("not held") ||
                (file.open(QIODevice::WriteOnly) && file.write("not a lock\n")));
    file.close();
    const LockResult result = InstanceLock(path.toStdString()).acquire();
    EXPECT_TRUE(result.status == LockStatus::unavailable && result) << reason;
    EXPECT_NE(result.reason.find(path.toStdString()), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find(reason), std::string::npos) << result.reason;
  }
}

}  // namespace
}  // namespace tessaflex::core
