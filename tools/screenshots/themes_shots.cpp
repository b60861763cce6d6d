// Pictures of the themes: the main window in every theme, four of them full size, and the
// theme picker.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

#include "core/setting_names.h"
#include "hexfile/hex_reader.h"
#include "shots.h"
#include "ui/dialogs/theme_picker.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::shots {
namespace {

// The main window with a program loaded, in the theme called name.
QPixmap window_in(app::Program& program, std::string_view name) {
  program.settings().save_setting(core::setting::kColorTheme, name);
  ui::theme::load_theme(program.settings(), program.colours());
  program.window().settheme();
  QApplication::processEvents();
  return program.window().grab();
}

QString file_name(std::string_view theme) {
  QString name = QString::fromUtf8(theme.data(), static_cast<qsizetype>(theme.size())).toLower();
  name.replace(QLatin1Char(' '), QLatin1Char('_'));
  name.remove(QLatin1Char('!'));
  return QStringLiteral("/main_window_") + name + QStringLiteral(".png");
}

}  // namespace

void themes(const QString& out_dir, const QString& device_list_path) {
  Showcase showcase(device_list_path);
  app::Program& program = showcase.program();
  std::int32_t loaded_end = 0;
  hexfile::read_hex_file(TESSAFLEX_SHOWN_HEX, program.files(), program.workspace().memory_images, loaded_end);
  program.window().updatedisplay();
  program.window().set_label_hex("/home/user/firmware/pic18f452_fxx2.hex");
  program.window().set_status("Operation completed. Total 32768 (32K) program bytes loaded.");

  for (std::string_view full : {"Original Lite", "Original Dark", "Bitter Lemon", "Night Vision"}) {
    window_in(program, full).save(out_dir + file_name(full));
  }

  // Every theme as a small tile with its name underneath, in the table's order.
  constexpr int kColumns = 6;
  constexpr int kCaption = 18;
  const QSize tile = program.window().size() / 2;
  const auto& table = ui::theme::theme_table();
  const int rows = (static_cast<int>(table.size()) + kColumns - 1) / kColumns;
  QImage sheet(kColumns * tile.width(), rows * (tile.height() + kCaption), QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const QPoint at(static_cast<int>(i % kColumns) * tile.width(),
                    static_cast<int>(i / kColumns) * (tile.height() + kCaption));
    painter.drawPixmap(QRect(at, tile), window_in(program, table[i].name));
    painter.drawText(QRect(at + QPoint(0, tile.height()), QSize(tile.width(), kCaption)), Qt::AlignCenter,
                     QString::fromUtf8(table[i].name.data(), static_cast<qsizetype>(table[i].name.size())));
  }
  painter.end();
  sheet.save(out_dir + QStringLiteral("/themes.png"));

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
