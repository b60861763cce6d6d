// Pictures of the dialogs: the message box in each kind, the input box, the model picker.
#include <QDialog>
#include <QPixmap>
#include <QTemporaryDir>
#include <string>

#include "devices/device_list.h"
#include "shots.h"
#include "ui/dialogs/dialogs.h"
#include "ui/main/options_texts.h"
#include "ui/theme/load_theme.h"

namespace tessaflex::shots {
namespace {

// Shows each dialog offscreen, saves what it draws under the next file name, and closes it.
class GrabRunner final : public ui::ModalRunner {
 public:
  explicit GrabRunner(QString out_dir) : out_dir_(std::move(out_dir)) {}
  void next(const char* name) { file_ = out_dir_ + QStringLiteral("/") + QLatin1String(name); }
  int run(QDialog& dialog) override {
    dialog.show();
    dialog.grab().save(file_);
    dialog.hide();
    return QDialog::Rejected;
  }

 private:
  QString out_dir_;
  QString file_;
};

}  // namespace

void dialogs(const QString& out_dir, const QString& device_list_path) {
  QTemporaryDir settings_dir;
  const core::SettingsStore settings((settings_dir.path() + QStringLiteral("/Tessaflex.ini")).toStdString());
  ui::theme::ThemeColours colours;
  ui::theme::load_theme(settings, colours);
  core::ProgramPaths paths;
  GrabRunner runner(out_dir);
  ui::Dialogs dialogs(runner, paths, colours);

  struct Box {
    const char* file;
    std::string text;
    core::BoxKind kind;
  };
  const Box boxes[] = {
      {"message_box_ok.png", ui::about_text(paths.program_title), core::BoxKind::plain},
      {"message_box_yes_no.png", "Do you want to overwrite file /home/user/firmware/blink.hex?",
       core::BoxKind::question},
      {"message_box_error.png", std::string(ui::kWrongEntry), core::BoxKind::error},
      {"message_box_info.png",
       "Warning!\r\nInput program file in Intel Hex Format contains errors.\r\n"
       "There are data for 2 addresses out of range:\r\nF00100, F00101.\r\n",
       core::BoxKind::information},
  };
  for (const Box& box : boxes) {
    runner.next(box.file);
    dialogs.message_box(nullptr, box.text, box.kind, paths.program_title);
  }

  runner.next("input_box.png");
  dialogs.input_box(nullptr, ui::kProgTimePrompt, paths.program_title, "5");

  const devices::DeviceListLoad load = devices::load_device_list(device_list_path.toStdString());
  devices::CurrentDevice device;
  device.model_index = 1;
  runner.next("model_picker.png");
  dialogs.model_picker(nullptr, load.list, device, settings);
}

}  // namespace tessaflex::shots
