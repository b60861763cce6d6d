// A memory table: eight lines of text painted on a fixed character grid.
#include "ui/main/memory_table.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/fonts.h"

namespace tessaflex::ui {
namespace {

constexpr double kCharPixels = static_cast<double>(kCharTwips) / kTwipsPerLogicalPixel;
constexpr double kLinePixels = static_cast<double>(kLineTwips) / kTwipsPerLogicalPixel;

// Floor, not truncation: a point left of or above the origin must stay negative.
int to_twips(double pixels) { return static_cast<int>(std::floor(pixels * kTwipsPerLogicalPixel)); }

}  // namespace

MemoryTable::MemoryTable(QWidget* parent) : QWidget(parent) {
  setFont(fixed_font(9.75));
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MemoryTable::set_text(const QString& text) {
  if (text == text_) return;
  text_ = text;
  lines_ = text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
  update();
}

void MemoryTable::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().mid().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(palette().text().color());
  const QFontMetricsF metrics(font());
  // Each glyph sits centred in its cell, its baseline where a line of the font's own
  // height would put it, so any fixed-pitch face reads evenly on the grid.
  const double baseline = kInset + (kLinePixels + metrics.ascent() - metrics.descent()) / 2;
  QString cell(1, QChar());
  for (int row = 0; row < lines_.size(); ++row) {
    const QString& line = lines_[row];
    const double y = baseline + row * kLinePixels;
    for (int col = 0; col < line.size(); ++col) {
      if (line[col] == QLatin1Char(' ')) continue;
      cell[0] = line[col];
      const double x = kInset + col * kCharPixels + (kCharPixels - metrics.horizontalAdvance(cell)) / 2;
      painter.drawText(QPointF(x, y), cell);
    }
  }
}

void MemoryTable::mouseMoveEvent(QMouseEvent* event) {
  emit pointer_moved();
  QWidget::mouseMoveEvent(event);
}

void MemoryTable::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF at = event->position() - QPointF(kInset, kInset);
  // Taken here: passed on, the release would reach the window as a background click.
  event->accept();
  emit released(event->button(), to_twips(at.x()), to_twips(at.y()));
}

void MemoryTable::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  emit focused();
}

}  // namespace tessaflex::ui
