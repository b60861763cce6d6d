// The small widget kinds of the main window: clickable labels, the status line and table scroll bars.
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

void StatusLine::set_status(const QString& text) {
  setText(text);
  setToolTip(shown_text() == text ? QString() : text);
}

QString StatusLine::shown_text() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void StatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(contentsRect(), static_cast<int>(alignment()), shown_text());
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
