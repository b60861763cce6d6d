// The one wiring of the program's parts.
#include "app/program.h"

#include <utility>

namespace tessaflex::app {

Program::Program(core::ProgramPaths paths, core::SettingsStore settings, devices::DeviceList device_list,
                 link::HidTerminal& terminal, ui::ModalRunner& runner)
    : paths_(std::move(paths)),
      settings_(std::move(settings)),
      device_list_(std::move(device_list)),
      terminal_(terminal),
      reports_(terminal_),
      dialogs_(runner, paths_, colours_),
      window_({paths_, settings_, device_list_, workspace_, reports_, runner, dialogs_, colours_, *this}),
      engine_(workspace_, reports_, terminal_, window_, paths_.program_title),
      connection_(settings_, terminal_, window_),
      hex_files_(workspace_, settings_, window_, files_,
                 [this](std::string_view path) { window_.set_label_hex(path); }) {}

}  // namespace tessaflex::app
