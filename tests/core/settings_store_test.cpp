// The settings store against a real INI file in a temporary folder.
#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>

#include "support/temp_settings.h"

namespace tessaflex::core {
namespace {

using testing::TempSettings;

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SettingsStore, MissingValuesAreCreatedWithTheDefaultAndTextsRoundTripWhole) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  EXPECT_EQ(store.get_setting("Last Path", "/opt/tessaflex/"), "/opt/tessaflex/");
  EXPECT_EQ(store.get_setting("Last Path", "/elsewhere/"), "/opt/tessaflex/");
  EXPECT_EQ(store.get_setting_dword("Hardware Vendor ID", 9029), 9029);
  EXPECT_EQ(store.get_setting_dword("Hardware Vendor ID", 1), 9029);
  EXPECT_EQ(store.get_setting("Hardware Vendor ID", "1"), "9029");  // a number reads as its text
  for (const std::string value : {"", "a, b, c", "C:\\Tools\\Prog\\", "  padded  ", "ümlaut", "=;#[x]"}) {
    store.save_setting("Value", value);
    EXPECT_EQ(store.get_setting("Value", "default"), value);
  }
  // A sub-key name reads and writes inside the sub-key; the plain name is another value.
  EXPECT_EQ(store.get_setting_dword("Window\\Left", 120), 120);
  EXPECT_EQ(store.get_setting_dword("Left", 5), 5);
  // A value changed outside is seen at the next read.
  QSettings outside(QString::fromStdString(settings.path()), QSettings::IniFormat);
  outside.setValue("Last Path", "/other/");
  outside.sync();
  EXPECT_EQ(store.get_setting("Last Path", "x"), "/other/");
  EXPECT_EQ(outside.value("Window/Left").toInt(), 120);
}

TEST(SettingsStore, UnreadableValuesGiveTheDefaultAndStayAsTheyAre) {
  // clang-format off
  const std::pair<const char*, std::int32_t> cases[] = {
      {"65535", 65535}, {"-1", -1}, {"4294967295", -1}, {"2147483648", INT32_MIN}, {"4294967296", 77}, {"abc", 77},
      {"", 77}, {"12abc", 77}, {"\"5\"", 5}, {"@Invalid()", 77}};
  // clang-format on
  for (const auto& [stored, expected] : cases) {
    TempSettings settings;
    std::ofstream(settings.path(), std::ios::binary)
        << "[General]\nHardware%20Vendor%20ID=" << stored << "\n";
    EXPECT_EQ(settings.store().get_setting_dword("Hardware Vendor ID", 77), expected) << stored;
    EXPECT_NE(file_text(settings.path()).find(std::string("Vendor%20ID=") + stored), std::string::npos)
        << stored;
  }
  // An empty variant gives the default and outlives later saves.
  TempSettings settings;
  std::ofstream(settings.path(), std::ios::binary) << "[General]\nColor%20Theme=@Invalid()\n";
  EXPECT_EQ(settings.store().get_setting("Color Theme", "Original Lite"), "Original Lite");
  settings.store().save_setting("Last Path", "/x/");
  EXPECT_NE(file_text(settings.path()).find("Color%20Theme=@Invalid()"), std::string::npos);
}

TEST(SettingsStore, AnUnwritableStoreGivesDefaultsWithoutFailing) {
  const SettingsStore store("/proc/tessaflex-cannot-exist/Tessaflex.ini");
  store.save_setting("Last Path", "/y/");
  EXPECT_EQ(store.get_setting("Last Path", "/x/"), "/x/");
}

}  // namespace
}  // namespace tessaflex::core
