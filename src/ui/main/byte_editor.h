// The main window's in-place byte editor: a field placed over one byte of a table or of
// the configuration grid, which hands the typed value back on Enter.
#pragma once

#include <QObject>
#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>

#include "devices/memory_images.h"
#include "ui/main/table_arithmetic.h"

class QLineEdit;
class QWidget;

namespace tessaflex::ui {

// The byte the field stands over.
struct EditTarget {
  Memory memory = Memory::flash;
  std::int32_t address = 0;  // in its image; for a configuration byte its index 0..13
};

// Writes value into the target's byte; false when the byte is outside today's images
// (the model may have changed since the field was placed).
bool store_byte(devices::MemoryImages& images, const EditTarget& target, std::uint8_t value);

// Owns the field ("unosbox") and its target. The field closes on Enter (handing over
// what was typed), on Escape, and when the focus moves to another control of the
// program; a switch to another application or the field's own context menu leaves it
// open with its text.
class ByteEditor : public QObject {
 public:
  // closed: called after the field has closed, with the value typed when Enter closed it
  // (nothing for Escape, a lost focus or a text that is not a byte).
  using Closed = std::function<void(const EditTarget& target, std::optional<std::uint8_t> typed)>;
  ByteEditor(QWidget* client, Closed closed);

  // Places the empty field over at for target; arm waits for open_armed to show it,
  // open shows it and gives it the focus at once.
  void arm(const EditTarget& target, const QRect& at);
  void open(const EditTarget& target, const QRect& at);
  // Shows an armed field; false when none was armed.
  bool open_armed();

  const EditTarget& target() const { return target_; }
  QLineEdit* field() const { return field_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place(const EditTarget& target, const QRect& at);
  void close(std::optional<std::uint8_t> typed);

  QLineEdit* field_;
  Closed closed_;
  EditTarget target_;
  bool armed_ = false;
  bool in_context_menu_ = false;
};

}  // namespace tessaflex::ui
