// The two small widget kinds of the main window: clickable labels and table scroll bars.
#include "ui/main/window_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace tessaflex::ui {

void Backdrop::set_colour(const QColor& colour) {
  colour_ = colour;
  update();
}

void Backdrop::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), colour_); }

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setAlignment(Qt::AlignCenter);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  // Taken here: passed on, the release would reach the window as a background click.
  event->accept();
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

TableScrollBar::TableScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void TableScrollBar::focusInEvent(QFocusEvent* event) {
  QScrollBar::focusInEvent(event);
  emit focused();
}

void TableScrollBar::wheelEvent(QWheelEvent* event) { event->ignore(); }

}  // namespace tessaflex::ui
