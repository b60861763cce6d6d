// The main window's in-place byte editor.
#include "ui/main/byte_editor.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <memory>
#include <utility>

#include "ui/fonts.h"
#include "ui/main/table_arithmetic.h"

namespace tessaflex::ui {

bool store_byte(devices::MemoryImages& images, const EditTarget& target, std::uint8_t value) {
  if (target.address < 0) return false;
  const auto at = static_cast<std::size_t>(target.address);
  if (target.memory == Memory::config) {
    if (at >= images.config_image.size()) return false;
    images.config_image[at] = value;
    return true;
  }
  std::vector<std::uint8_t>& image =
      target.memory == Memory::flash ? images.flash_image : images.eeprom_image;
  if (at >= image.size()) return false;
  image[at] = value;
  return true;
}

ByteEditor::ByteEditor(QWidget* client, Closed closed)
    : QObject(client), field_(new QLineEdit(client)), closed_(std::move(closed)) {
  field_->setObjectName(QStringLiteral("unosbox"));
  field_->setFont(fixed_font(9.75));
  // Two hex digits are a byte; the Enter rule reads any text, but a longer one is only
  // a typing slip.
  field_->setMaxLength(2);
  field_->installEventFilter(this);
  field_->hide();
}

void ByteEditor::place(const EditTarget& target, const QRect& at) {
  target_ = target;
  field_->setGeometry(at);
  field_->clear();
}

void ByteEditor::arm(const EditTarget& target, const QRect& at) {
  place(target, at);
  armed_ = true;
}

void ByteEditor::open(const EditTarget& target, const QRect& at) {
  place(target, at);
  armed_ = true;
  open_armed();
}

bool ByteEditor::open_armed() {
  if (!armed_) return false;
  armed_ = false;
  field_->show();
  field_->setFocus();
  return true;
}

void ByteEditor::close(std::optional<std::uint8_t> typed) {
  field_->hide();
  closed_(target_, typed);
}

bool ByteEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_ || !field_->isVisible()) return false;
  switch (event->type()) {
    case QEvent::FocusOut: {
      // Only the focus moving on within the program closes the field: another
      // application taking over leaves no window of ours active, and the field's own
      // menu works on the open field.
      const bool elsewhere = QApplication::activeWindow() == nullptr;
      if (!elsewhere && !in_context_menu_) close(std::nullopt);
      return false;
    }
    case QEvent::ContextMenu: {
      const std::unique_ptr<QMenu> menu(field_->createStandardContextMenu());
      in_context_menu_ = true;
      menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
      in_context_menu_ = false;
      return true;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape) {
        close(std::nullopt);
        return true;
      }
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        close(typed_byte(field_->text().toStdString()));
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace tessaflex::ui
