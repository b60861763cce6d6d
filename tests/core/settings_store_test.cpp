// The settings store against a real INI file in a temporary folder.
#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>

#include "support/temp_settings.h"

namespace tessaflex::core {
namespace {

using testing::TempSettings;

// A number reads as its text; a sub-key name reads and writes inside the sub-key, the plain name is
// another value; a value changed outside is seen at the next read.
TEST(SettingsStore, MissingValuesAreCreatedWithTheDefaultAndTextsRoundTripWhole) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  EXPECT_EQ(
      (std::tuple{store.get_setting("Last Path", "/opt/tessaflex/"), store.get_setting("Last Path", "/x/"),
                  store.get_setting_dword("Hardware Vendor ID", 9029),
                  store.get_setting_dword("Hardware Vendor ID", 1),
                  store.get_setting("Hardware Vendor ID", "1"), store.get_setting_dword("Window\\Left", 120),
                  store.get_setting_dword("Left", 5)}),
      std::tuple("/opt/tessaflex/", "/opt/tessaflex/", 9029, 9029, "9029", 120, 5));
  for (const std::string value : {"", "a, b, c", "C:\\Tools\\Prog\\", "  padded  ", "ümlaut", "=;#[x]"}) {
    store.save_setting("Value", value);
    EXPECT_EQ(store.get_setting("Value", "default"), value);
  }
  QSettings outside(QString::fromStdString(settings.path()), QSettings::IniFormat);
  outside.setValue("Last Path", "/other/");
  outside.sync();
  EXPECT_EQ(std::tuple(store.get_setting("Last Path", "x"), outside.value("Window/Left").toInt()),
            std::tuple("/other/", 120));
}

// Neither the value nor an empty variant is rewritten, not even by later saves.
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
    EXPECT_EQ(settings.store().get_setting("Hardware Vendor ID", "d") == "d", *stored == '@') << stored;
    settings.store().save_setting("Last Path", "/x/");  // Qt writes the quoted 5 back without its quotes
    const std::string line = std::string("Vendor%20ID=") + (*stored == '"' ? "5" : stored) + "\n";
    std::ifstream file(settings.path());
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(file), {}).find(line), std::string::npos) << stored;
  }
}

TEST(SettingsStore, AnUnwritableStoreGivesDefaultsWithoutFailing) {
  const SettingsStore store("/proc/tessaflex-cannot-exist/Tessaflex.ini");
  store.save_setting("Last Path", "/y/");
  EXPECT_EQ(store.get_setting("Last Path", "/x/"), "/x/");
}

}  // namespace
}  // namespace tessaflex::core
