// The parts the main window's commands drive. They take the window as their host, so they
// are built after it; the wiring hands the window this interface at construction and
// answers it once they exist, before the window is started.
#pragma once

namespace tessaflex::engine {
class Engine;
}
namespace tessaflex::hexfile {
class HexFileCommands;
}
namespace tessaflex::link {
class ProgrammerConnection;
}

namespace tessaflex::ui {

class WindowCommands {
 public:
  virtual engine::Engine& engine() = 0;
  virtual link::ProgrammerConnection& connection() = 0;
  virtual hexfile::HexFileCommands& hex_files() = 0;

 protected:
  ~WindowCommands() = default;
};

}  // namespace tessaflex::ui
