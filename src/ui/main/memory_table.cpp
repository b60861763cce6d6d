// A memory table: eight lines of text painted on a fixed character grid.
#include "ui/main/memory_table.h"

#include <QGlyphRun>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>
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
  // One glyph run per line, each glyph placed in its own cell and centred there: any
  // fixed-pitch face reads evenly on the grid, and a line costs one draw call.
  const QRawFont raw = QRawFont::fromFont(font());
  const double baseline = kInset + (kLinePixels + raw.ascent() - raw.descent()) / 2;
  QGlyphRun run;
  run.setRawFont(raw);
  for (int row = 0; row < lines_.size(); ++row) {
    const QList<quint32> glyphs = raw.glyphIndexesForString(lines_[row]);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions(glyphs.size());
    for (qsizetype col = 0; col < glyphs.size(); ++col) {
      positions[col] =
          QPointF(kInset + static_cast<double>(col) * kCharPixels + (kCharPixels - advances[col].x()) / 2,
                  baseline + row * kLinePixels);
    }
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(), run);
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
