// Pictures of the themes: the theme picker.
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include "shots.h"
#include "ui/dialogs/theme_picker.h"
#include "ui/theme/load_theme.h"

namespace tessaflex::shots {

void themes(const QString& out_dir, const QString&) {
  QTemporaryDir settings_dir;
  const core::SettingsStore settings((settings_dir.path() + QStringLiteral("/Tessaflex.ini")).toStdString());
  ui::theme::ThemeColours colours;
  ui::theme::load_theme(settings, colours);
  ui::ThemePicker picker(nullptr, settings, colours, [] {});
  picker.show();
  QApplication::processEvents();
  picker.grab().save(out_dir + QStringLiteral("/theme_picker.png"));
}

}  // namespace tessaflex::shots
