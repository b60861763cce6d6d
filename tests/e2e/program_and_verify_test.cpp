// The real program under a virtual X server, driven by real input events: open a HEX file
// through its file dialog, Program All, Verify, close the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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

constexpr const char* kChip = "18F1320";
constexpr const char* kModel = "PIC18F1320";
constexpr const char* kFixture = TESSAFLEX_FIXTURES_DIR "/hex/pic18f1320_x220.hex";
constexpr int kClientHeight = 6435 / 15;
// Generous guards against a hang; nothing here measures speed.
constexpr int kGuardMs = 120000;

// Runs a tool and returns what it printed; the test fails when it does not exit with 0.
std::string run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(kGuardMs)) << program.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ' ' << arguments.join(' ').toStdString();
  return process.readAllStandardOutput().toStdString();
}

// The visible windows whose title is exactly title.
QStringList windows_named(const QString& title) {
  QProcess process;
  process.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                 QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')});
  process.waitForFinished(kGuardMs);
  return QString::fromLatin1(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
  QDir(world.path()).mkpath(QStringLiteral("runtime"));
  QFile::setPermissions(world.path() + QStringLiteral("/runtime"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString state_path = world.path() + QStringLiteral("/state");

  // The model is the user's last choice, stored as the program stores it.
  const devices::DeviceList list = devices::load_device_list(TESSAFLEX_DEVICE_LIST).list;
  std::int32_t index = 0;
  for (std::int32_t i = 1; i <= list.model_count; ++i) {
    if (list.device_list[static_cast<std::size_t>(i)].model == kModel) index = i;
  }
  ASSERT_NE(index, 0);
  QDir(world.path()).mkpath(QStringLiteral("config/Tessaflex"));
  QFile ini(world.path() + QStringLiteral("/config/Tessaflex/Tessaflex.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(QStringLiteral("[General]\nMicrocontroller%20Model=%1\n").arg(index).toLatin1());
  ini.close();

  // Each run ends with as many power-downs as its statements hold.
  devices::CurrentDevice device;
  device.model_index = index;
  ASSERT_TRUE(devices::apply_selected_model(list, device));
  const auto ends = [&](devices::AlgorithmKind kind) {
    const auto& s = device.statements(kind);
    return static_cast<int>(std::count(s.begin(), s.end(), "end"));
  };

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), world.path() + QStringLiteral("/config"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), world.path() + QStringLiteral("/runtime"));
  // ld.so splits LD_PRELOAD at blanks, so the stand-in goes by its bare name, found
  // through the library path: the build folder may lie under a path with a blank.
  const QFileInfo standin(QStringLiteral(TESSAFLEX_HIDAPI_STANDIN));
  env.insert(QStringLiteral("LD_PRELOAD"), standin.fileName());
  env.insert(QStringLiteral("LD_LIBRARY_PATH"),
             standin.absolutePath() + QLatin1Char(':') + env.value(QStringLiteral("LD_LIBRARY_PATH")));
  env.insert(QStringLiteral("TESSAFLEX_E2E_CHIP"), QString::fromLatin1(kChip));
  env.insert(QStringLiteral("TESSAFLEX_E2E_STATE"), state_path);
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  // The stand-in comes before the sanitizer runtime in the load order, which is intended;
  // and libxkbcommon, which the X11 platform loads, reads strings in a way the strict
  // string checks refuse although it stays inside them.
  env.insert(QStringLiteral("ASAN_OPTIONS"),
             env.value(QStringLiteral("ASAN_OPTIONS")) +
                 QStringLiteral(":verify_asan_link_order=0:strict_string_checks=0"));
  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(QStringLiteral(TESSAFLEX_EXECUTABLE), {});
  ASSERT_TRUE(program.waitForStarted());

  QString window;
  ASSERT_TRUE(wait_for([&] {
    if (program.state() == QProcess::NotRunning) return true;
    const QStringList found = windows_named(QStringLiteral("Tessaflex"));
    if (!found.isEmpty()) window = found.first();
    return !window.isEmpty();
  }));
  ASSERT_FALSE(window.isEmpty()) << "the program ended before its window appeared";
  std::map<std::string, int> geometry;
  for (const QString& line :
       QString::fromStdString(run(QStringLiteral("xdotool"),
                                  {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}))
           .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    geometry[line.section(QLatin1Char('='), 0, 0).toStdString()] = line.section(QLatin1Char('='), 1).toInt();
  }
  const int menu_bar = geometry["HEIGHT"] - kClientHeight;
  // A left click in the middle of a control placed at left, top, width, height twips.
  const auto click = [&](int left, int top, int width, int height) {
    const int x = geometry["X"] + (left + width / 2) / 15;
    const int y = geometry["Y"] + menu_bar + (top + height / 2) / 15;
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
                                    QStringLiteral("click"), QStringLiteral("1")});
  };
  const auto count = [&](const char* what) {
    return QString::fromStdString(read_state(state_path)[what]).toInt();
  };
  const auto power_downs = [&] { return count("power_downs"); };
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
  ASSERT_TRUE(wait_for([&] {
    const QStringList found = windows_named(QStringLiteral("Select HEX File To Open"));
    if (!found.isEmpty()) dialog = found.first();
    return !dialog.isEmpty();
  }));
  run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), dialog});
  run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"),
                                  QString::fromLatin1(kFixture)});
  run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
  ASSERT_TRUE(wait_for([&] { return windows_named(QStringLiteral("Select HEX File To Open")).isEmpty(); }));

  ASSERT_TRUE(start_run(60, 1155));  // "Program All"
  ASSERT_TRUE(wait_for([&] { return power_downs() >= ends(devices::AlgorithmKind::program); }));
  const int after_program = power_downs();
  ASSERT_TRUE(start_run(4740, 1095));  // "Verify"
  ASSERT_TRUE(
      wait_for([&] { return power_downs() >= after_program + ends(devices::AlgorithmKind::verify); }));
  // A failed verify opens its report over the window; give it time to appear.
  EXPECT_FALSE(wait_for([&] { return windows_named(QStringLiteral("Tessaflex")).size() > 1; }, 2000))
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
