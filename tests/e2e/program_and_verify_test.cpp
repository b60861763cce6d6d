// The real program under a virtual X server, driven by real input events: open a HEX file
// through its file dialog, Program All, Verify, close the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "core/hex_text.h"
#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "e2e/close_request.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_reader.h"

namespace {

using namespace tessaflex;

constexpr const char* kFixture = TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex";
constexpr int kClientHeight = 6435 / 15;
constexpr int kGuardMs = 120000;  // against a hang; nothing here measures speed

// Runs xdotool and returns what it printed; unless it may fail, the test fails when it does.
QString xdotool(const QStringList& arguments, bool may_fail = false) {
  QProcess process;
  process.start("xdotool", arguments);
  EXPECT_TRUE(process.waitForFinished(kGuardMs));
  EXPECT_TRUE(may_fail || process.exitCode() == 0) << arguments.join(' ').toStdString();
  return QString::fromLatin1(process.readAllStandardOutput());
}

// The first visible window whose title is exactly title ("" when none).
QString window_named(const QString& title) {
  return xdotool({"search", "--onlyvisible", "--name", '^' + QRegularExpression::escape(title) + '$'}, true)
      .section('\n', 0, 0);
}

bool wait_for(const std::function<bool()>& done, int guard_ms = kGuardMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > guard_ms) return false;
    QThread::msleep(50);
  }
  return true;
}

// The stand-in's state file: one "name value" per line.
std::map<std::string, std::string> read_state(const QString& path) {
  std::map<std::string, std::string> state;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return state;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const qsizetype blank = line.indexOf(' ');
    if (blank > 0) state[line.left(blank).toStdString()] = line.mid(blank + 1).toStdString();
  }
  return state;
}

std::string hex_of(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) core::append_byte_hex(text, byte);
  return text;
}

TEST(EndToEnd, OpenProgramVerifyAndCloseTheRealProgram) {
  QTemporaryDir world;
  ASSERT_TRUE(world.isValid());
  QDir(world.path()).mkpath("runtime");
  QFile::setPermissions(world.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString state_path = world.path() + "/state";

  // The model is the user's last choice, stored as the program stores it.
  const devices::DeviceList list = devices::load_device_list(TESSAFLEX_DEVICE_LIST).list;
  devices::CurrentDevice device;
  for (std::int32_t i = 1; i <= list.model_count; ++i) {
    if (list.device_list[static_cast<std::size_t>(i)].model == "PIC18F1320") device.model_index = i;
  }
  ASSERT_TRUE(devices::apply_selected_model(list, device));
  QSettings(world.path() + "/config/Tessaflex/Tessaflex.ini", QSettings::IniFormat)
      .setValue("Microcontroller Model", QString::number(device.model_index));
  // Each run ends with as many power-downs as its statements hold.
  const auto ends = [&](devices::AlgorithmKind kind) {
    const auto& s = device.statements(kind);
    return static_cast<int>(std::count(s.begin(), s.end(), "end"));
  };

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", world.path() + "/config");
  env.insert("XDG_RUNTIME_DIR", world.path() + "/runtime");
  // ld.so splits LD_PRELOAD at blanks, so the stand-in goes by its bare name, found
  // through the library path: the build folder may lie under a path with a blank.
  const QFileInfo standin(TESSAFLEX_HIDAPI_STANDIN);
  env.insert("LD_PRELOAD", standin.fileName());
  env.insert("LD_LIBRARY_PATH", standin.absolutePath() + ':' + env.value("LD_LIBRARY_PATH"));
  env.insert("TESSAFLEX_E2E_CHIP", "18F1320");
  env.insert("TESSAFLEX_E2E_STATE", state_path);
  env.remove("QT_QPA_PLATFORM");
  // The stand-in comes before the sanitizer runtime in the load order, which is intended;
  // and libxkbcommon, which the X11 platform loads, reads strings in a way the strict
  // string checks refuse although it stays inside them.
  env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0:strict_string_checks=0");
  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(TESSAFLEX_EXECUTABLE, {});
  ASSERT_TRUE(program.waitForStarted());

  QString window;
  ASSERT_TRUE(wait_for([&] {
    window = window_named("Tessaflex");
    return program.state() == QProcess::NotRunning || !window.isEmpty();
  }));
  ASSERT_FALSE(window.isEmpty()) << "the program ended before its window appeared";
  std::map<QString, int> geometry;
  for (const QString& line :
       xdotool({"getwindowgeometry", "--shell", window}).split('\n', Qt::SkipEmptyParts))
    geometry[line.section('=', 0, 0)] = line.section('=', 1).toInt();
  const int menu_bar = geometry["HEIGHT"] - kClientHeight;
  // A left click in the middle of a control placed at left, top, width, height twips.
  const auto click = [&](int left, int top, int width, int height) {
    xdotool({"mousemove", QString::number(geometry["X"] + (left + width / 2) / 15),
             QString::number(geometry["Y"] + menu_bar + (top + height / 2) / 15), "click", "1"});
  };
  const auto count = [&](const char* what) { return std::stoi("0" + read_state(state_path)[what]); };
  // A click that lands while the window is still busy with the last command (loading the
  // file, say) is lost on a disabled button; until the run has begun, click again.
  const auto start_run = [&](int left, int width) {
    const int before = count("power_ups");
    return wait_for([&] {
      click(left, 720, width, 315);
      return wait_for([&] { return count("power_ups") > before; }, 2000);
    });
  };

  click(60, 60, 1755, 255);  // "Loaded HEX File"
  QString dialog;
  ASSERT_TRUE(wait_for([&] { return !(dialog = window_named("Select HEX File To Open")).isEmpty(); }));
  xdotool({"windowfocus", "--sync", dialog});
  xdotool({"type", "--delay", "5", kFixture});
  xdotool({"key", "Return"});
  ASSERT_TRUE(wait_for([&] { return window_named("Select HEX File To Open").isEmpty(); }));

  ASSERT_TRUE(start_run(60, 1155));  // "Program All"
  ASSERT_TRUE(wait_for([&] { return count("power_downs") >= ends(devices::AlgorithmKind::program); }));
  const int after_program = count("power_downs");
  ASSERT_TRUE(start_run(4740, 1095));  // "Verify"
  ASSERT_TRUE(
      wait_for([&] { return count("power_downs") >= after_program + ends(devices::AlgorithmKind::verify); }));
  // A failed verify opens its report over the window; give it time to appear.
  EXPECT_FALSE(wait_for(
      [&] {
        return xdotool({"search", "--onlyvisible", "--name", "^Tessaflex$"}, true).count('\n') > 1;
      },
      2000))
      << "a box appeared after Verify";

  std::map<std::string, std::string> state = read_state(state_path);
  devices::MemoryImages expected;
  devices::erase_images(device, expected);
  hexfile::LocalFileAccess files;
  std::int32_t loaded_end = 0;
  ASSERT_TRUE(hexfile::read_hex_file(kFixture, files, expected, loaded_end).accepted());
  EXPECT_EQ(state["flash"], hex_of(expected.flash_image));
  EXPECT_EQ(state["eeprom"], hex_of(expected.eeprom_image));
  EXPECT_EQ(state["violations"], "0");

  ASSERT_TRUE(tessaflex::testing::request_close(window.toULong()));
  ASSERT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(read_state(state_path)["violations"], "0");
}

}  // namespace
