// "cmake --install" into a temporary prefix, and the installed program started through bin/.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <filesystem>

#include "support/qt_printers.h"

namespace {

constexpr int kGuardMs = 60000;  // guards against a hang, does not measure speed

QByteArray file_bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fresh install under a prefix whose path holds a blank.
TEST(Installed, EveryFileIsWhereItIsLookedForAndTheProgramFindsItsDeviceList) {
  QTemporaryDir world, runtime;  // both private to the user, as Qt wants of a runtime folder
  const QString prefix = world.path() + "/with blank";
  const auto at = [&prefix](const QString& relative) { return prefix + "/" + relative; };
  ASSERT_EQ(QProcess::execute(TESSAFLEX_CMAKE, {"--install", TESSAFLEX_BUILD_DIR, "--prefix", prefix}), 0);

  EXPECT_EQ(file_bytes(at("lib/tessaflex/korvadevices.txt")),
            file_bytes(TESSAFLEX_SOURCE_DIR "/devices/korvadevices.txt"));
  // Relative, so the tree can be staged (DESTDIR) or moved as a whole.
  EXPECT_EQ(std::filesystem::read_symlink(at("bin/tessaflex").toStdString()), "../lib/tessaflex/tessaflex");
  const QByteArray desktop = file_bytes(at("share/applications/tessaflex.desktop"));
  for (const char* line : {"\nExec=tessaflex\n", "\nIcon=tessaflex\n"})
    EXPECT_TRUE(desktop.contains(line)) << line;
  EXPECT_TRUE(file_bytes(at("share/icons/hicolor/scalable/apps/tessaflex.svg")).contains("<svg"));
  // Each PNG's header holds its width and height at bytes 16 and 20.
  for (const quint32 size : {16, 32, 48, 64, 128, 256}) {
    const QByteArray png = file_bytes(at("share/icons/hicolor/%1x%1/apps/tessaflex.png").arg(size));
    EXPECT_TRUE(png.size() >= 24 && qFromBigEndian<quint32>(png.constData() + 16) == size &&
                qFromBigEndian<quint32>(png.constData() + 20) == size)
        << size;
  }
  // The rule grants the seat's user the programmer alone, by both IDs, with no world-writable mode.
  const QByteArray rule = file_bytes(at("lib/udev/rules.d/70-tessaflex.rules"));
  for (const char* part : {"SUBSYSTEM==\"hidraw\"", "ATTRS{idVendor}==\"2345\"", "ATTRS{idProduct}==\"2345\"",
                           "TAG+=\"uaccess\""})
    EXPECT_TRUE(rule.contains(part)) << part;
  EXPECT_FALSE(rule.contains("MODE"));

  // Started through bin/, the program reads its models and stores its folder as the HEX dialogs' first.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("XDG_CONFIG_HOME", world.path() + "/config");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  const auto last_path = [ini = world.path() + "/config/Tessaflex/Tessaflex.ini"] {
    return QSettings(ini, QSettings::IniFormat).value("Last Path");
  };
  QProcess started;
  started.setProcessEnvironment(env);
  started.start(at("bin/tessaflex"), {});
  for (int wait = 0;
       wait < kGuardMs / 50 && !last_path().isValid() && started.state() != QProcess::NotRunning; ++wait)
    started.waitForFinished(50);
  const QByteArray error = started.readAllStandardError();
  started.kill();
  started.waitForFinished(kGuardMs);
  EXPECT_EQ(last_path().toString().toStdString(), at("lib/tessaflex/").toStdString()) << error.toStdString();
}

}  // namespace
