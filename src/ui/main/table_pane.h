// One memory table of the main window with its scroll bar and caption, built once for
// FLASH and once for EEPROM.
#pragma once

#include <QObject>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

#include "devices/workspace.h"
#include "ui/main/table_arithmetic.h"

namespace tessaflex::ui {

class ClickableLabel;
class MemoryTable;
class TableScrollBar;

// Owns nothing but its place: the widgets are children of the window's client area.
class TablePane : public QObject {
  Q_OBJECT

 public:
  TablePane(Memory id, QWidget* client);

  Memory id() const { return id_; }
  const TableLayout& layout() const { return layout_; }
  ClickableLabel* caption() const { return caption_; }
  MemoryTable* table() const { return table_; }
  TableScrollBar* bar() const { return bar_; }

  // The image this pane shows, and its size in the selected model.
  const std::vector<std::uint8_t>& image(const devices::MemoryImages& images) const;
  std::int32_t image_size(const devices::CurrentDevice& device) const;

  // Shows the eight lines from the scroll bar's value on; clear shows none.
  void redraw(const devices::MemoryImages& images);
  void clear();
  // Lets the scroll bar reach the last line of an image of size bytes (0: none).
  void set_image_size(std::int32_t size);
  // The byte under x, y twips from the grid's origin, and the window pixels of its cell.
  std::optional<TableCell> cell_at(int x_twips, int y_twips, std::int32_t image_size) const;
  QRect cell_rect(const TableCell& cell, int height_twips) const;

 signals:
  // The pointer moved over the table; the table got the focus; a button was released
  // over it at x, y twips from the grid's origin.
  void pointer_moved();
  void focused();
  void released(Qt::MouseButton button, int x_twips, int y_twips);

 private:
  Memory id_;
  const TableLayout& layout_;
  ClickableLabel* caption_ = nullptr;
  MemoryTable* table_ = nullptr;
  TableScrollBar* bar_ = nullptr;
};

}  // namespace tessaflex::ui
