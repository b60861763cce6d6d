// The main window's in-place byte editor: a field placed over one byte of a table or of the
// configuration grid, which stores the typed value on Enter.
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/main/main_window.h"
#include "ui/main/memory_table.h"
#include "ui/main/table_cell.h"
#include "ui/main/window_widgets.h"

namespace tessaflex::ui {

void MainWindow::table_released(std::int32_t table, Qt::MouseButton button, int x, int y) {
  if (button != Qt::RightButton || busy_ || ending_) return;
  process_events();
  const bool flash = table == 1;
  const TableGeometry& geometry = flash ? kFlashGeometry : kEepromGeometry;
  MemoryTable* grid = flash ? tabla_flash_ : tabla_eeprom_;
  const std::optional<TableCell> cell = cell_under_pointer(
      geometry, x, y, (flash ? scrl1_ : scrl2_)->value(),
      flash ? workspace_.current_device.flash_size : workspace_.current_device.eeprom_size);
  if (!cell) return;
  edit_address_ = cell->address;
  const QPoint origin = grid->pos() + QPoint(MemoryTable::kInset, MemoryTable::kInset);
  unosbox_->setGeometry(origin.x() + twips_to_pixels(geometry.left_margin + cell->column * kByteTwips),
                        origin.y() + twips_to_pixels(cell->row * kLineTwips), twips_to_pixels(kByteTwips),
                        twips_to_pixels(kLabelHeight));
  unosbox_->clear();
  editor_armed_ = true;
  edit_target_ = table;
  // The press already passed the table's focus on to its scroll bar; the table takes it
  // once more so that its focus handler opens the armed field.
  grid->setFocus(Qt::MouseFocusReason);
}

void MainWindow::label_conf_Click(int index) {
  if (busy_ || ending_) return;
  edit_address_ = index + 1;
  const QRect at = label_conf_[static_cast<std::size_t>(index)]->geometry();
  unosbox_->setGeometry(at.x(), at.y(), at.width(), twips_to_pixels(kLabelHeight));
  unosbox_->clear();
  unosbox_->show();
  unosbox_->setFocus();
  edit_target_ = 3;
}

void MainWindow::focus_edited_table() { (edit_target_ == 2 ? scrl2_ : scrl1_)->setFocus(); }

void MainWindow::close_editor(bool store) {
  const std::optional<std::uint8_t> value = store ? typed_byte(unosbox_->text().toStdString()) : std::nullopt;
  devices::MemoryImages& images = workspace_.memory_images;
  // The model may have changed since the field was placed: a byte outside today's
  // image is dropped like a bad entry. During a run the images are the run's.
  std::uint8_t* byte = nullptr;
  if (value && !busy_) {
    const auto at = static_cast<std::size_t>(edit_address_);
    std::vector<std::uint8_t>* image = edit_target_ == 1   ? &images.flash_image
                                       : edit_target_ == 2 ? &images.eeprom_image
                                                           : nullptr;
    if (image != nullptr && edit_address_ >= 0 && at < image->size()) byte = &(*image)[at];
  }
  const bool config = value && !busy_ && edit_target_ == 3 && edit_address_ >= 1 && edit_address_ <= 14;
  if (byte != nullptr || config) {
    focus_edited_table();
    if (config) {
      images.config_image[static_cast<std::size_t>(edit_address_ - 1)] = *value;
    } else {
      *byte = *value;
    }
    updatedisplay();
    label_hex_->clear();
  }
  unosbox_->hide();
  focus_edited_table();
}

bool MainWindow::editor_event(QEvent* event) {
  if (!unosbox_->isVisible()) return false;
  if (event->type() == QEvent::FocusOut) {
    unosbox_->hide();
    focus_edited_table();
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
      close_editor(key != Qt::Key_Escape);
      return true;
    }
  }
  return false;
}

}  // namespace tessaflex::ui
