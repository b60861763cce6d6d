// The message box's four icons, drawn by the program itself.
#include "ui/dialogs/box_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace tessaflex::ui {
namespace {

// Every icon is drawn on a 48-unit square and scaled, so each size is sharp.
constexpr double kUnits = 48.0;

void draw_disc(QPainter& painter, const QColor& colour) {
  QRadialGradient shade(QPointF(18, 15), 34);
  shade.setColorAt(0, colour.lighter(150));
  shade.setColorAt(1, colour);
  painter.setPen(QPen(colour.darker(140), 1.5));
  painter.setBrush(shade);
  painter.drawEllipse(QRectF(2.5, 2.5, 43, 43));
}

QPen stroke(const QColor& colour, double width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void draw(QPainter& painter, BoxIcon which) {
  const QColor white(Qt::white);
  switch (which) {
    case BoxIcon::ok: {
      const QPointF tick[] = {{9, 26}, {19, 36}, {39, 12}};
      painter.setPen(stroke(QColor(20, 100, 30), 10));
      painter.drawPolyline(tick, 3);
      painter.setPen(stroke(QColor(60, 180, 70), 6));
      painter.drawPolyline(tick, 3);
      break;
    }
    case BoxIcon::ask: {
      draw_disc(painter, QColor(30, 90, 200));
      QPainterPath hook;
      hook.arcMoveTo(QRectF(16, 9, 16, 15), 160);
      hook.arcTo(QRectF(16, 9, 16, 15), 160, -250);
      hook.lineTo(24, 29);
      painter.setPen(stroke(white, 5));
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(hook);
      painter.setPen(Qt::NoPen);
      painter.setBrush(white);
      painter.drawEllipse(QPointF(24, 37), 3.2, 3.2);
      break;
    }
    case BoxIcon::err:
      draw_disc(painter, QColor(200, 30, 30));
      painter.setPen(stroke(white, 6));
      painter.drawLine(QPointF(16, 16), QPointF(32, 32));
      painter.drawLine(QPointF(32, 16), QPointF(16, 32));
      break;
    case BoxIcon::info:
      draw_disc(painter, QColor(30, 90, 200));
      painter.setPen(Qt::NoPen);
      painter.setBrush(white);
      painter.drawEllipse(QPointF(24, 13.5), 3.5, 3.5);
      painter.drawRoundedRect(QRectF(21, 20, 6, 18), 1.5, 1.5);
      break;
  }
}

}  // namespace

QIcon box_icon(BoxIcon which) {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnits, size / kUnits);
    draw(painter, which);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace tessaflex::ui
