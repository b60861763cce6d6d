// The algorithm engine: the statement interpreter and the five chip operation runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "devices/current_device.h"
#include "devices/workspace.h"
#include "engine/mismatch_report.h"
#include "engine/run_state.h"
#include "engine/statement_table.h"
#include "link/hid_terminal.h"
#include "link/report_layer.h"

namespace tessaflex::engine {

// Limits that keep a broken algorithm from blocking the program for ever.
// A wNNN statement may wait 0..kMaxWaitMs milliseconds; any other number stops the run.
inline constexpr std::int32_t kMaxWaitMs = 60000;
// A waitwr whose write bit stays set stops the run after this many polls, or once this
// many seconds have passed on the host clock since its first poll, whichever comes first.
inline constexpr std::int32_t kMaxWritePolls = 1000;
inline constexpr double kMaxWriteSeconds = 1.0;

// How the last run (or the last statement) ended, besides running off its script.
enum class Halt {
  none,         // statements run as usual
  stopped,      // the run stopped on a fault; stop_text() says which
  program_end,  // an unrecognized statement ended the program
};

class Engine {
 public:
  // Every reference must outlive the engine. program_title is the caption of the box
  // an unrecognized statement shows.
  Engine(devices::Workspace& workspace, link::ReportLayer& reports, link::HidTerminal& terminal,
         core::Host& host, std::string program_title);

  // Executes run_state().script[pc] and leaves pc at the statement to run next. Does
  // nothing while the target power is on by hand (workspace.vpp_on), while halted, or
  // when pc is not an index of the script. A statement that cannot be carried out
  // safely (a bad hex field, an address outside its image, a refused or failed report,
  // a bound reached, a "loop" that would jump to itself) sends nothing more, and halts
  // with Halt::stopped; an unrecognized statement powers the target down, shows the
  // error box and ends the program (Halt::program_end).
  void execute_symbolic_instruction();

  // The five chip operations. Each tests that the programmer is connected (else the
  // status line reads link::kHardwareNotFound and nothing else happens), runs the current
  // model's statement list for the operation and writes the result and the elapsed
  // seconds into the status line. A run that stops on a fault powers the target down
  // when the programmer is still there, enables the window and shows the fault instead
  // of a result.
  void program_all();
  void erase_all();
  void read_all();
  void blank_check();
  void verify_chip();

  RunState& run_state() { return run_; }
  const RunState& run_state() const { return run_; }
  MismatchState& mismatch_state() { return mismatch_; }
  const MismatchState& mismatch_state() const { return mismatch_; }
  // The elapsed seconds of the last run that reached its end, as its result showed them.
  const std::string& elapsed_text() const { return elapsed_text_; }

  Halt halt() const { return halt_; }
  // The status text of the last fault ("" when none).
  const std::string& stop_text() const { return stop_text_; }
  // Lets statements run again after a halt; every run does this at its start.
  void clear_halt();

  // Sets up a run of the current model's statement list of kind: the script (element 0
  // empty), counter 0, flash_last and eeprom_last at the image ends, pc 1, no halt.
  // loop_start, loop_end and temp keep what the last run left. Every run starts here.
  void load_script(devices::AlgorithmKind kind);

 private:
  friend const std::vector<StatementForm>& statement_forms();
  struct RunKind;

  // Control statements.
  void begin(std::string_view s, int);
  void end(std::string_view s, int);
  void startprog(std::string_view s, int);
  void setprogtime(std::string_view s, int);
  void calcflash(std::string_view s, int);
  void calcflashpage(std::string_view s, int);
  void calceeprom(std::string_view s, int);
  void setloop(std::string_view s, int image);
  void loop(std::string_view s, int);
  void ifpage(std::string_view s, int);
  void endifpage(std::string_view s, int);
  void wait(std::string_view s, int);

  // Transfer statements.
  void movlw_address(std::string_view s, int address_byte);
  void movlw_eeprom(std::string_view s, int);
  void write_flash(std::string_view s, int);
  void write_config(std::string_view s, int config);
  void waitwr(std::string_view s, int);
  void read_flash(std::string_view s, int);
  void read_eeprom(std::string_view s, int);
  void read_config(std::string_view s, int config);
  void read_temp(std::string_view s, int);
  // Shows the FLASH ('F') or EEPROM ('E') progress text, sends the command at field and
  // stores the byte read at image(counter).
  void read_memory_byte(std::string_view s, std::size_t field, char memory, std::vector<std::uint8_t>& image);
  void command_operand(std::string_view s, int);

  // Check statements.
  void checkblankflash(std::string_view s, int);
  void checkblankeeprom(std::string_view s, int);
  void checkblankconfig(std::string_view s, int config);
  void checkflash(std::string_view s, int);
  void checkeeprom(std::string_view s, int);
  void checkconfig(std::string_view s, int config);
  // Shows the FLASH ('F') or EEPROM ('E') progress text, moves counter and pc, and adds a
  // line when temp differs from image(counter) (255 when image is null).
  void check_memory_byte(char memory, const std::vector<std::uint8_t>* image);
  // Shows the progress text of byte config, moves pc, and adds a line when temp differs.
  void check_config_byte(int config, std::int32_t expected);

  void unrecognized(std::string_view s);

  // Progress texts, each followed by the pending-events step.
  void show_flash_progress();
  void show_eeprom_progress();
  void show_config_progress(int config);
  void show_progress(char memory);

  // Report exchanges, each followed by hid_pause. False when the exchange did not
  // happen; the run is then stopped.
  bool command(std::int32_t code);
  bool word(std::int32_t operand);
  bool read_byte(std::int32_t& value);
  bool exchanged(link::LinkStatus status, std::string_view what);

  // The hex field of s at character first (counted from 1), upper-cased and parsed;
  // -1 after stopping the run when it is not exactly 2 (4) hexadecimal digits.
  std::int32_t command_field(std::string_view s, std::size_t first);
  std::int32_t operand_field(std::string_view s, std::size_t first);
  std::int32_t hex_field(std::string_view s, std::size_t first, std::size_t length);

  // True when count bytes from address lie inside an image of size bytes; otherwise
  // stops the run and says which image.
  bool inside_image(std::int32_t address, std::int32_t count, std::int32_t size, std::string_view image);
  // The page size, or 0 after stopping the run when it is below 1.
  std::int32_t usable_page_size();
  // Moves pc forward from itself to the first statement equal to marker and then one
  // past it; stops the run when the script holds no such statement.
  void skip_past(std::string_view marker);

  // Ends the run on a fault: the status text names the statement and the reason.
  void stop(std::string_view reason, bool power_down = true);
  void finish_stopped_run();

  void run_operation(const RunKind& kind);

  devices::Workspace& workspace_;
  link::ReportLayer& reports_;
  link::HidTerminal& terminal_;
  core::Host& host_;
  std::string program_title_;

  RunState run_;
  MismatchState mismatch_;
  std::string elapsed_text_;

  Halt halt_ = Halt::none;
  std::string stop_text_;
  bool stop_power_down_ = true;
  std::int32_t statement_pc_ = 0;  // pc of the statement being executed
  // The waitwr being polled: polls made and the host clock at its first poll.
  std::int32_t write_polls_ = 0;
  double write_poll_start_ = 0;
  std::string progress_;  // reused for every progress text
};

}  // namespace tessaflex::engine
