#include "widgets/court_picture.h"

#include "widgets/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace velmora::gui {

namespace {

constexpr QPointF kBasket(139, 29);
constexpr double kThreePointRadius = 114;
constexpr double kFreeThrowLine = 109;

}  // namespace

QRectF CourtRectIn(const QRectF& area) {
  const double scale = std::min(area.width() / kCourtWidth, area.height() / kCourtHeight);
  const QSizeF size(kCourtWidth * scale, kCourtHeight * scale);
  return {area.center() - QPointF(size.width() / 2, size.height() / 2), size};
}

void PaintHalfCourt(QPainter& painter, const QRectF& target) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(target.topLeft());
  painter.scale(target.width() / kCourtWidth, target.height() / kCourtHeight);
  painter.setClipRect(QRectF(0, 0, kCourtWidth, kCourtHeight));

  // Maple floor with a few planks.
  painter.fillRect(QRectF(0, 0, kCourtWidth, kCourtHeight), QColor(226, 182, 126));
  painter.setPen(QPen(QColor(214, 168, 112), 0.6));
  for (double x = 9; x < kCourtWidth; x += 9) painter.drawLine(QPointF(x, 0), QPointF(x, kCourtHeight));

  // Three-point area and lane in the team colour of the floor.
  const double reach = std::sqrt(kThreePointRadius * kThreePointRadius - kBasket.y() * kBasket.y());
  QPainterPath inside;
  inside.moveTo(kBasket.x() - reach, 0);
  inside.arcTo(QRectF(kBasket.x() - kThreePointRadius, kBasket.y() - kThreePointRadius, 2 * kThreePointRadius,
                      2 * kThreePointRadius),
               180 - std::asin(kBasket.y() / kThreePointRadius) * 180 / M_PI,
               180 + 2 * std::asin(kBasket.y() / kThreePointRadius) * 180 / M_PI);
  inside.closeSubpath();
  painter.fillPath(inside, QColor(236, 200, 150));
  QPolygonF lane;
  lane << QPointF(83, 0) << QPointF(193, 0) << QPointF(172, kFreeThrowLine) << QPointF(106, kFreeThrowLine);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(176, 72, 40));
  painter.drawPolygon(lane);

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.drawRect(QRectF(1, 1, kCourtWidth - 2, kCourtHeight + 10));  // baseline and sidelines
  painter.drawPath(inside);
  painter.drawPolygon(lane);
  // Free-throw circle: solid outside the lane, dashed inside.
  const QRectF circle(kBasket.x() - 33, kFreeThrowLine - 33, 66, 66);
  painter.drawArc(circle, 0, -180 * 16);
  painter.setPen(QPen(Qt::white, 1.5, Qt::DashLine));
  painter.drawArc(circle, 0, 180 * 16);

  // Backboard, rim and net.
  painter.setPen(QPen(QColor(40, 40, 40), 2.5));
  painter.drawLine(QPointF(kBasket.x() - 17, 22), QPointF(kBasket.x() + 17, 22));
  painter.setPen(QPen(QColor(230, 90, 20), 2.0));
  painter.drawEllipse(kBasket, 4.5, 4.5);
  painter.restore();
}

void PaintBallMarker(QPainter& painter, const QRectF& target, bool threePoints) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double size = std::min(target.width(), target.height());
  QRectF ball(target.center() - QPointF(size / 2, size / 2), QSizeF(size, size));
  if (threePoints) {
    painter.setPen(QPen(QColor(255, 215, 0), size * 0.12));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ball.adjusted(size * 0.06, size * 0.06, -size * 0.06, -size * 0.06));
    ball.adjust(size * 0.2, size * 0.2, -size * 0.2, -size * 0.2);
  } else {
    ball.adjust(size * 0.1, size * 0.1, -size * 0.1, -size * 0.1);
  }
  PaintBall(painter, ball);
  painter.restore();
}

}  // namespace velmora::gui
