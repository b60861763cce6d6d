// The settings store: defaults written on first read, texts and numbers as stored by hand or by Qt.
#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>

#include "support/temp_settings.h"

namespace tessaflex::core {
namespace {

// A number reads as its text; a sub-key name reads and writes inside the sub-key, the plain name is
// another value; a value changed outside is seen at the next read; an unwritable store fails nothing.
TEST(SettingsStore, MissingValuesAreCreatedWithTheDefaultAndTextsRoundTripWhole) {
  test::TempSettings settings;
  const SettingsStore& store = settings.store();
  EXPECT_EQ((std::tuple{store.get_setting("Path", "/a/"), store.get_setting("Path", "/b/"),
                        store.get_setting_dword("ID", 9029), store.get_setting_dword("ID", 1),
                        store.get_setting("ID", "1"), store.get_setting_dword("Window\\Left", 120),
                        store.get_setting_dword("Left", 5)}),
            std::tuple("/a/", "/a/", 9029, 9029, "9029", 120, 5));
  for (const std::string value : {"", "a, b, c", "C:\\Tools\\Prog\\", "  padded  ", "ümlaut", "=;#[x]"}) {
    store.save_setting("Value", value);
    EXPECT_EQ(store.get_setting("Value", "default"), value);
  }
  QSettings outside(QString::fromStdString(settings.path()), QSettings::IniFormat);
  outside.setValue("Path", "/other/");
  outside.sync();
  EXPECT_EQ(std::tuple(store.get_setting("Path", "x"), outside.value("Window/Left").toInt()),
            std::tuple("/other/", 120));
  const SettingsStore unwritable("/proc/tessaflex-cannot-exist/Tessaflex.ini");
  unwritable.save_setting("Last Path", "/y/");
  EXPECT_EQ(unwritable.get_setting("Last Path", "/x/"), "/x/");
}

// Neither the value nor an empty variant is rewritten, not even by later saves: the second default would
// show it. "0100" is decimal; a folder typed with commas and blanks reads as typed, before and after saves.
TEST(SettingsStore, UnreadableValuesGiveTheDefaultAndStayAsTheyAre) {
  // clang-format off
  const std::pair<const char*, std::int32_t> cases[] = {
      {"65535", 65535}, {"-1", -1}, {"4294967295", -1}, {"2147483648", INT32_MIN}, {"4294967296", 77}, {"abc", 77},
      {"", 77}, {"12abc", 77}, {"\"5\"", 5}, {"@Invalid()", 77}, {"0100", 100}, {"/home/Smith, J/v1,2/", 77}};
  // clang-format on
  for (const auto& [stored, expected] : cases) {
    test::TempSettings settings;
    std::ofstream(settings.path()) << "[General]\nHardware%20Vendor%20ID=" << stored << "\n";
    const std::string text = *stored == '"' ? "5" : stored;  // the quotes are the file's own
    EXPECT_EQ(settings.store().get_setting_dword("Hardware Vendor ID", 77), expected) << stored;
    EXPECT_EQ(settings.store().get_setting("Hardware Vendor ID", "d"), *stored == '@' ? "d" : text);
    settings.store().save_setting("Last Path", "/x/");
    EXPECT_EQ(settings.store().get_setting("Hardware Vendor ID", "e"), *stored == '@' ? "e" : text);
  }
}

}  // namespace
}  // namespace tessaflex::core
