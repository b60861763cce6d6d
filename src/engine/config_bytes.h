// The fourteen configuration bytes as the statement language names them.
#pragma once

#include <array>
#include <string_view>

#include "devices/memory_map.h"

namespace tessaflex::engine {

struct ConfigByteName {
  std::string_view name;      // as it stands in a statement, "config1l"
  std::string_view progress;  // the status text while a statement handles it, "CONF1L:"
};

// CONFIG1L..CONFIG7H in address order; index i here is config_image[i] and configerased[i].
inline constexpr std::array<ConfigByteName, devices::kConfigBytes> kConfigByteNames = {{
    {"config1l", "CONF1L:"},
    {"config1h", "CONF1H:"},
    {"config2l", "CONF2L:"},
    {"config2h", "CONF2H:"},
    {"config3l", "CONF3L:"},
    {"config3h", "CONF3H:"},
    {"config4l", "CONF4L:"},
    {"config4h", "CONF4H:"},
    {"config5l", "CONF5L:"},
    {"config5h", "CONF5H:"},
    {"config6l", "CONF6L:"},
    {"config6h", "CONF6H:"},
    {"config7l", "CONF7L:"},
    {"config7h", "CONF7H:"},
}};

}  // namespace tessaflex::engine
