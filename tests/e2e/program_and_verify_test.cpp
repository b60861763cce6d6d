// The real program under a virtual X server and real input: open a HEX file, Program All, Verify, close.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_reader.h"

namespace {

using namespace tessaflex;

constexpr const char* kFixture = TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex";
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
  return xdotool({"search", "--onlyvisible", "--name", '^' + title + '$'}, true).section('\n', 0, 0);
}

bool wait_for(const std::function<bool()>& done, int guard_ms = kGuardMs) {
  for (const QDeadlineTimer deadline(guard_ms); !done(); QThread::msleep(50))
    if (deadline.hasExpired()) return false;
  return true;
}

// The stand-in's state file: one "name value" per line.
std::map<std::string, std::string> read_state(const QString& path) {
  std::map<std::string, std::string> state;
  std::ifstream file(path.toStdString());
  for (std::string name, value; file >> name && std::getline(file >> std::ws, value);) state[name] = value;
  return state;
}

std::string hex_of(const std::vector<std::uint8_t>& bytes) {
  const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  return raw.toHex().toUpper().toStdString();
}

}  // namespace

// Last, since its macros (None, Bool, Status) would clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

// Sends WM_DELETE_WINDOW to window, as a window manager does; false when there is no display.
bool request_close(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return true;
}

TEST(EndToEnd, OpenProgramVerifyAndCloseTheRealProgram) {
  QTemporaryDir world, runtime;  // both made private to the user, as XDG_RUNTIME_DIR must be
  ASSERT_TRUE(world.isValid() && runtime.isValid());
  const QString state_path = world.path() + "/state";

  // The model is the user's last choice, stored as the program stores it.
  const devices::DeviceList list = devices::load_device_list(TESSAFLEX_DEVICE_LIST).list;
  devices::CurrentDevice device;
  device.model_index = devices::model_number(list, "PIC18F1320");
  ASSERT_TRUE(devices::apply_selected_model(list, device));
  QSettings(world.path() + "/config/Tessaflex/Tessaflex.ini", QSettings::IniFormat)
      .setValue("Microcontroller Model", QString::number(device.model_index));

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", world.path() + "/config");
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  // ld.so splits LD_PRELOAD at blanks (the build folder may have one): a bare name on the library path.
  const QFileInfo standin(TESSAFLEX_HIDAPI_STANDIN);
  env.insert("LD_PRELOAD", standin.fileName());
  env.insert("LD_LIBRARY_PATH", standin.absolutePath() + ':' + env.value("LD_LIBRARY_PATH"));
  env.insert("TESSAFLEX_E2E_CHIP", "18F1320");
  env.insert("TESSAFLEX_E2E_STATE", state_path);
  env.remove("QT_QPA_PLATFORM");
  // The stand-in comes before the sanitizer runtime on purpose; libxkbcommon's string reads stay
  // inside their strings but fail the strict string checks.
  env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0:strict_string_checks=0");
  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(TESSAFLEX_EXECUTABLE, {});
  ASSERT_TRUE(program.waitForStarted());

  QString window;
  ASSERT_TRUE(wait_for([&] { return !(window = window_named("Tessaflex")).isEmpty(); }));
  std::map<QString, int> geometry;
  for (const QString& line : xdotool({"getwindowgeometry", "--shell", window}).split('\n'))
    geometry[line.section('=', 0, 0)] = line.section('=', 1).toInt();
  const int menu_bar = geometry["HEIGHT"] - 6435 / 15;  // the client area is 6435 twips high
  // A left click in the middle of a control placed at left, top, width, height twips.
  const auto click = [&](int left, int top, int width, int height) {
    xdotool({"mousemove", QString::number(geometry["X"] + (left + width / 2) / 15),
             QString::number(geometry["Y"] + menu_bar + (top + height / 2) / 15), "click", "1"});
  };
  const auto count = [&](const char* what) { return std::stoi("0" + read_state(state_path)[what]); };
  // A click that lands while the window is still busy (loading the file, say) is lost on a disabled
  // button: click until the run has begun, then wait for as many power-downs as its statements hold.
  const auto run = [&](int left, int width, devices::AlgorithmKind kind) {
    const auto& s = device.statements(kind);
    const int ups = count("power_ups");
    const int downs = count("power_downs") + static_cast<int>(std::count(s.begin(), s.end(), "end"));
    const auto click_until_begun = [&] {
      click(left, 720, width, 315);
      return wait_for([&] { return count("power_ups") > ups; }, 2000);
    };
    return wait_for(click_until_begun) && wait_for([&] { return count("power_downs") >= downs; });
  };

  click(60, 60, 1755, 255);  // "Loaded HEX File"
  QString dialog;
  ASSERT_TRUE(wait_for([&] { return !(dialog = window_named("Select HEX File To Open")).isEmpty(); }));
  xdotool({"windowfocus", "--sync", dialog});
  xdotool({"type", "--delay", "5", kFixture});
  xdotool({"key", "Return"});
  ASSERT_TRUE(wait_for([&] { return window_named("Select HEX File To Open").isEmpty(); }));

  ASSERT_TRUE(run(60, 1155, devices::AlgorithmKind::program));   // "Program All"
  ASSERT_TRUE(run(4740, 1095, devices::AlgorithmKind::verify));  // "Verify"
  // A failed verify opens its report over the window; give it time to appear.
  const QStringList ours = {"search", "--onlyvisible", "--name", "^Tessaflex$"};
  EXPECT_FALSE(wait_for([&] { return xdotool(ours, true).count('\n') > 1; }, 2000)) << "a box after Verify";

  devices::MemoryImages expected;
  devices::erase_images(device, expected);
  hexfile::LocalFileAccess files;
  std::int32_t loaded_end = 0;
  ASSERT_TRUE(hexfile::read_hex_file(kFixture, files, expected, loaded_end).accepted());
  EXPECT_EQ(read_state(state_path)["flash"], hex_of(expected.flash_image));
  EXPECT_EQ(read_state(state_path)["eeprom"], hex_of(expected.eeprom_image));

  ASSERT_TRUE(request_close(window.toULong()));
  ASSERT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()), std::pair(QProcess::NormalExit, 0));
  EXPECT_EQ(read_state(state_path)["violations"], "0");  // none while programming, verifying or closing
}

}  // namespace
