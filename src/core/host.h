// The seam through which the core reaches the window: status line, boxes, events, time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::core {

// Message box kinds and answers, as the window's own message box knows them.
enum class BoxKind : int { plain = 0, question = 4, error = 16, information = 64 };
enum class BoxAnswer : int { ok = 1, yes = 6, no = 7 };

// What the core needs of the main window. The window implements it; tests implement it
// with a recorder. Every call happens on the one program thread.
class Host {
 public:
  virtual ~Host() = default;

  // Sets the caption of the status line.
  virtual void set_status(std::string_view text) = 0;
  // Runs every queued window event before returning (repaints, scrolling, input).
  virtual void process_events() = 0;
  // Turns the window's commands off for a long operation, and on again after it.
  virtual void disable() = 0;
  virtual void enable() = 0;
  // Redraws the memory tables and configuration labels from the images.
  virtual void updatedisplay() = 0;
  // Shows a modal message box; an empty caption means the program title.
  virtual BoxAnswer message_box(std::string_view text, BoxKind kind, std::string_view caption) = 0;
  // Blocks the program for the given milliseconds (never negative).
  virtual void sleep_ms(std::int64_t milliseconds) = 0;
  // Seconds on a monotonic clock; only differences mean anything.
  virtual double clock_seconds() = 0;
  // Ends the program once control returns to the event loop; the caller returns at once.
  virtual void end_program() = 0;
};

}  // namespace tessaflex::core
