// The start-up values: the graphical session, the program folder's form and the
// single-instance lock.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

namespace tessaflex::core {
namespace {

TEST(Startup, ProgramFolderAndGraphicalSession) {
  for (const auto& [folder, expected] : {std::pair{"/opt/Tessaflex", "/opt/Tessaflex/"},
                                         {"/opt/Tessaflex/", "/opt/Tessaflex/"},
                                         {"/", "/"},
                                         {"", "/"}}) {
    EXPECT_EQ(folder_with_separator(folder), expected) << folder;
  }
  // Only a platform with something to show on passes: platform, DISPLAY, WAYLAND_DISPLAY.
  // clang-format off
  const std::pair<SessionEnvironment, bool> cases[] = {
      {{"", "", ""}, false}, {{"", ":0", ""}, true}, {{"", "", "wayland-0"}, true},
      {{"xcb", "", "wayland-0"}, false}, {{"wayland", ":0", ""}, false},
      {{"wayland-egl", "", "wayland-0"}, true},
      {{"xcb:nograb", ":1", ""}, true}, {{"wayland;xcb", ":0", ""}, true}, {{"offscreen", "", ""}, true},
      {{"vnc:size=800x600", "", ""}, true}, {{";", "", ""}, false}};
  // clang-format on
  for (const auto& [session, usable] : cases)
    EXPECT_EQ(missing_session_message(session).empty(), usable)
        << '"' << session.platform << "\" " << session.display;
  const std::string message = missing_session_message({});
  EXPECT_NE(message.find("graphical session"), std::string::npos);
  EXPECT_NE(message.find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
  EXPECT_EQ(message.find('\n'), std::string::npos);
  const char* argv[] = {"tessaflex", "-platform", "offscreen"};
  EXPECT_EQ(current_session(3, argv).platform, "offscreen");  // an argument overrides the environment
  const char* double_dash[] = {"tessaflex", "--platform", "vnc"};
  EXPECT_EQ(current_session(3, double_dash).platform, "vnc");
}

TEST(Startup, OnlyOneHolderOfTheLockAtATime) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + QStringLiteral("/tessaflex.lock")).toStdString();
  {
    InstanceLock first(path), second(path);
    ASSERT_EQ(first.acquire().status, LockStatus::acquired);
    const LockResult result = second.acquire();
    EXPECT_EQ(result.status, LockStatus::another_instance);
    EXPECT_FALSE(result);
  }
  InstanceLock after(path);
  EXPECT_EQ(after.acquire().status, LockStatus::acquired);  // released with its holder
}

TEST(Startup, ALockPathThatCannotHoldALockIsNoOtherInstance) {
  const std::tuple<const char*, std::function<void(const QString&)>, const char*> cases[] = {
      {"tessaflex.lock", [](const QString& p) { QDir().mkpath(p); }, "a folder of that name"},
      {"gone/tessaflex.lock", [](const QString&) {}, "its folder does not exist"},
      {"tessaflex.lock",
       [](const QString& p) {
         QFile file(p);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write("not a lock\n");
       },
       "not held by any running instance"}};
  for (const auto& [lock_name, prepare, reason] : cases) {
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/') + QString::fromUtf8(lock_name);
    prepare(path);
    const LockResult result = InstanceLock(path.toStdString()).acquire();
    EXPECT_EQ(result.status, LockStatus::unavailable) << reason;
    EXPECT_TRUE(result) << reason;  // the program goes on
    EXPECT_NE(result.reason.find(path.toStdString()), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find(reason), std::string::npos) << result.reason;
  }
}

}  // namespace
}  // namespace tessaflex::core
