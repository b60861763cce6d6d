// Pictures of the main window.
#include <QApplication>
#include <QPixmap>

#include "core/setting_names.h"
#include "shots.h"

namespace tessaflex::shots {

Showcase::Showcase(const QString& device_list_path)
    : program_(core::ProgramPaths{},
               core::SettingsStore((settings_dir_.path() + "/Tessaflex.ini").toStdString()),
               devices::load_device_list(device_list_path.toStdString()).list, programmer_, runner_) {
  const std::int32_t model = devices::model_number(program_.device_list(), "PIC18F452");
  program_.settings().save_setting(core::setting::kModel, std::to_string(model));
  program_.start();
  QApplication::processEvents();
}

void main_window(const QString& out_dir, const QString& device_list_path) {
  Showcase showcase(device_list_path);
  showcase.program().window().grab().save(out_dir + QStringLiteral("/main_window.png"));
}

}  // namespace tessaflex::shots
