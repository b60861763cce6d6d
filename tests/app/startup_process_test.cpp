// Starting the real program: no display or one that cannot be opened, a platform plugin that cannot load, a
// second instance, a lock in the way, no models, no device list; and on a headless Wayland compositor, to the
// end of its start-up and out.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <vector>

namespace {

constexpr int kGuardMs = 60000;  // guards against a hang, does not measure speed

// Each start has private runtime and config folders and a program copy whose device list is the test's.
TEST(ProgramStart, EachStartEndsOrExplainsAsItShould) {
  enum Lock { none, held, folder };  // at the lock path: nothing, another instance's lock, a folder
  // At once with code 0; a box waits for the user, then code 1; at once with code 1 and one line, or with
  // Qt's own messages before it.
  enum End { silent, box, failure, qt_said };
  // name, device list (nullptr: none), lock, session variables, end, what standard error says ("!": does not)
  const char* offscreen = "QT_QPA_PLATFORM=offscreen";
  // A display that runs, and a library of the xcb plugin that cannot load.
  QProcess x_server;
  x_server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
  ASSERT_TRUE(x_server.waitForReadyRead(kGuardMs)) << "Xvfb does not start";
  const QString live = ":" + x_server.readAllStandardOutput().trimmed();
  QTemporaryDir broken;
  QFile(broken.path() + "/libxcb-icccm.so.4").open(QIODevice::WriteOnly);
  const QByteArray broken_xcb = ("LD_LIBRARY_PATH=" + broken.path() + " DISPLAY=" + live).toUtf8();
  const QByteArray broken_xcb_told = broken_xcb + " QT_DEBUG_PLUGINS=1";
  // clang-format off
  const std::tuple<const char*, const char*, Lock, const char*, End, std::vector<const char*>> cases[] = {
      {"second instance", "model: PIC18F452\r\nflash: 32768\r\n", held, offscreen, silent, {}},
      {"no model", "erasealgdef 0: begin,end\r\n; no model here\r\n", none, offscreen, silent, {}},
      {"missing device list", nullptr, none, offscreen, box, {"korvadevices.txt: No such file"}},
      // A lock path held by no instance is explained, then the start goes on to its next step.
      {"lock path in the way", nullptr, folder, offscreen, box,
       {"tessaflex.lock: a folder of that name is in the way", "korvadevices.txt: No such"}},
      {"no display", nullptr, none, "", failure, {"graphical session", "QT_QPA_PLATFORM=offscreen"}},
      {"dead X display", nullptr, none, "DISPLAY=:7077", failure, {"X11 display \":7077\" (DISPLAY)"}},
      {"no Wayland socket", nullptr, none, "WAYLAND_DISPLAY=gone", failure, {"Wayland display \"gone\""}},
      {"bogus platform", nullptr, none, "QT_QPA_PLATFORM=bogus", failure, {"Qt platform \"bogus\""}},
      {"xcb plugin cannot load", nullptr, none, broken_xcb.constData(), qt_said,
       {"Could not load the Qt platform plugin \"xcb\"", "plugin \"xcb\"; Qt's messages above", "!display server"}},
      {"xcb plugin, Qt's whole account", nullptr, none, broken_xcb_told.constData(), qt_said,
       {"libxcb-icccm.so.4: file too short", "Could not load the Qt platform plugin", "QT_DEBUG_PLUGINS=1"}},
      {"dead X display, Qt's whole account", nullptr, none, "DISPLAY=:7077 QT_DEBUG_PLUGINS=1", qt_said,
       {"could not connect to display :7077", "X11 display \":7077\" (DISPLAY)"}}};
  // clang-format on
  for (const auto& [name, device_list, at_lock, session, end, said] : cases) {
    SCOPED_TRACE(name);
    QTemporaryDir world, runtime;  // both private to the user, as Qt wants of a runtime folder
    ASSERT_TRUE(QFile::copy(TESSAFLEX_EXECUTABLE, world.path() + "/tessaflex"));
    if (device_list) std::ofstream((world.path() + "/korvadevices.txt").toStdString()) << device_list;
    QLockFile lock(runtime.path() + "/tessaflex.lock");
    ASSERT_TRUE(at_lock != held || lock.tryLock(0));
    if (at_lock == folder) QDir(runtime.path()).mkpath("tessaflex.lock");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", world.path() + "/config");
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(variable);
    for (const QString& variable : QString(session).split(' ', Qt::SkipEmptyParts))
      env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(world.path() + "/tessaflex", {});
    program.setReadChannel(QProcess::StandardError);
    QByteArray error;
    const auto said_all = [&] {
      return std::all_of(said.begin(), said.end(), [&](const char* text) {
        return *text == '!' ? !error.contains(text + 1) : error.contains(text);
      });
    };
    while (!said_all() && program.waitForReadyRead(kGuardMs)) error += program.readAllStandardError();
    EXPECT_TRUE(said_all()) << error.toStdString();
    EXPECT_TRUE(end != box || program.state() == QProcess::Running);
    // SIGTERM closes the box as its OK would, once the box is up.
    for (int wait = 0; end == box && wait < kGuardMs / 100 && !program.waitForFinished(100); ++wait)
      program.terminate();
    ASSERT_TRUE(program.state() == QProcess::NotRunning || program.waitForFinished(kGuardMs));
    error += program.readAllStandardError();
    EXPECT_TRUE(program.exitStatus() == QProcess::NormalExit &&
                program.exitCode() == (end == silent ? 0 : 1) &&
                (end == box || (end == qt_said ? said_all() && error.count('\n') > 1
                                               : error.count('\n') == (end == silent ? 0 : 1))))
        << error.toStdString();
    EXPECT_TRUE(QDir(world.path() + "/config").isEmpty());  // no settings written
  }
  x_server.terminate();
  x_server.waitForFinished(kGuardMs);
}

// A Wayland session without X11: the program starts natively and silently, ends its start-up (which stores
// the hardware IDs) and leaves with code 0 when the session ends it.
TEST(ProgramStart, OnAHeadlessWaylandCompositorStartsAndClosesCleanly) {
  const QString weston = QStandardPaths::findExecutable("weston");
  if (weston.isEmpty()) GTEST_SKIP() << "weston is not installed";
  QTemporaryDir world, runtime;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(variable);
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("XDG_CONFIG_HOME", world.path() + "/config");
  QProcess compositor, program;
  compositor.setProcessEnvironment(env);
  compositor.start(weston, {"--backend=headless-backend.so", "--socket=tessaflex-test", "--idle-time=0"});
  for (int wait = 0; wait < kGuardMs / 50 && !QFile::exists(runtime.path() + "/tessaflex-test"); ++wait)
    compositor.waitForFinished(50);
  // The Wayland client and Mesa keep a few allocations until exit; only whole stacks name them.
  env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
  env.insert("WAYLAND_DISPLAY", "tessaflex-test");
  program.setProcessEnvironment(env);
  program.start(TESSAFLEX_EXECUTABLE, {});
  ASSERT_TRUE(program.waitForStarted(kGuardMs));
  const QString ini = world.path() + "/config/Tessaflex/Tessaflex.ini";
  for (int wait = 0;
       wait < kGuardMs / 50 && !QSettings(ini, QSettings::IniFormat).contains("Hardware Vendor ID") &&
       program.state() == QProcess::Running;
       ++wait)
    program.waitForFinished(50);
  EXPECT_EQ(program.state(), QProcess::Running);
  program.terminate();
  EXPECT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_TRUE(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0) << program.exitCode();
  EXPECT_EQ(program.readAllStandardError().toStdString(), "");
  compositor.terminate();
  compositor.waitForFinished(kGuardMs);
}

}  // namespace
