#include "widgets/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace velmora::gui {

namespace {

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A globe with a plug or a cross over it.
QPixmap NetworkPicture(int size, const QColor& globe, bool connected) {
  QPixmap pixmap = Blank(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area(size * 0.08, size * 0.08, size * 0.84, size * 0.84);
  painter.setPen(QPen(globe.darker(140), size / 16.0));
  painter.setBrush(globe);
  painter.drawEllipse(area);
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(area.adjusted(size * 0.22, 0, -size * 0.22, 0));
  painter.drawLine(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()));
  if (!connected) {
    painter.setPen(QPen(QColor(200, 30, 30), size / 8.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(size * 0.25, size * 0.25), QPointF(size * 0.75, size * 0.75));
    painter.drawLine(QPointF(size * 0.75, size * 0.25), QPointF(size * 0.25, size * 0.75));
  }
  return pixmap;
}

}  // namespace

void PaintBall(QPainter& painter, const QRectF& ball) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double size = ball.width();
  painter.setPen(QPen(QColor(60, 30, 10), size * 0.07));
  painter.setBrush(QColor(230, 120, 30));
  painter.drawEllipse(ball);
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(QPointF(ball.center().x(), ball.top()), QPointF(ball.center().x(), ball.bottom()));
  painter.drawLine(QPointF(ball.left(), ball.center().y()), QPointF(ball.right(), ball.center().y()));
  QPainterPath seams;
  seams.moveTo(ball.left() + size * 0.16, ball.top() + size * 0.14);
  seams.quadTo(ball.center().x() - size * 0.06, ball.center().y(), ball.left() + size * 0.16,
               ball.bottom() - size * 0.14);
  seams.moveTo(ball.right() - size * 0.16, ball.top() + size * 0.14);
  seams.quadTo(ball.center().x() + size * 0.06, ball.center().y(), ball.right() - size * 0.16,
               ball.bottom() - size * 0.14);
  painter.drawPath(seams);
  painter.restore();
}

QPixmap LogoPicture(int size) {
  QPixmap pixmap = Blank(size);
  QPainter painter(&pixmap);
  PaintBall(painter, QRectF(size * 0.06, size * 0.06, size * 0.88, size * 0.88));
  return pixmap;
}

QPixmap ConnectedPicture(int size) { return NetworkPicture(size, QColor(60, 160, 80), true); }
QPixmap DisconnectedPicture(int size) { return NetworkPicture(size, QColor(150, 150, 150), false); }

}  // namespace velmora::gui
