#include "widgets/court_picture.h"

#include "charts/court_geometry.h"
#include "widgets/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace velmora::gui {

namespace {

constexpr QPointF kBasket(kBasketX, kBasketY);
constexpr double kThreePointRadius = kThreePointDistance;
constexpr double kFreeThrowLine = kFreeThrowLineY;
constexpr double kCircleRadius = kLaneNarrowWidth / 2.0;

struct TPalette {
  QColor Floor;     // invalid: no floor
  QColor Planks;    // invalid: none
  QColor Inside;    // inside the three-point line; invalid: the floor
  QColor Lane;      // invalid: the floor
  QColor Lines;
  double LineWidth;
  QColor Board;
  QColor Rim;
};

TPalette PaletteOf(TCourtLook look) {
  switch (look) {
    case TCourtLook::Maple:
      return {{226, 182, 126}, {214, 168, 112}, {236, 200, 150}, {176, 72, 40}, Qt::white, 2.0, {40, 40, 40},
              {230, 90, 20}};
    case TCourtLook::Light:
      return {{247, 243, 236}, {}, {240, 233, 222}, {228, 218, 202}, {120, 110, 100}, 1.2, {70, 70, 70},
              {225, 110, 40}};
    case TCourtLook::BlackAndWhite:
      return {Qt::white, {}, {}, {}, Qt::black, 1.0, Qt::black, Qt::black};
    case TCourtLook::LinesOnly:
      break;
  }
  return {{}, {}, {}, {}, QColor(255, 255, 255, 220), 1.4, QColor(255, 255, 255, 220), QColor(255, 255, 255, 220)};
}

// One half in court-map coordinates, from the baseline to `depth`; the full court's halves reach
// the centre line, where half of the centre circle is drawn.
void PaintHalf(QPainter& painter, double depth, const TPalette& palette, bool toCentreLine) {
  painter.save();
  painter.setClipRect(QRectF(0, 0, kCourtWidth, depth));
  if (palette.Floor.isValid()) {
    painter.fillRect(QRectF(0, 0, kCourtWidth, depth), palette.Floor);
    if (palette.Planks.isValid()) {
      painter.setPen(QPen(palette.Planks, 0.6));
      for (double x = 9; x < kCourtWidth; x += 9) painter.drawLine(QPointF(x, 0), QPointF(x, depth));
    }
  }

  // Three-point area and lane.
  const double reach = std::sqrt(kThreePointRadius * kThreePointRadius - kBasket.y() * kBasket.y());
  QPainterPath inside;
  inside.moveTo(kBasket.x() - reach, 0);
  inside.arcTo(QRectF(kBasket.x() - kThreePointRadius, kBasket.y() - kThreePointRadius, 2 * kThreePointRadius,
                      2 * kThreePointRadius),
               180 - std::asin(kBasket.y() / kThreePointRadius) * 180 / M_PI,
               180 + 2 * std::asin(kBasket.y() / kThreePointRadius) * 180 / M_PI);
  inside.closeSubpath();
  if (palette.Inside.isValid()) painter.fillPath(inside, palette.Inside);
  const double narrowing = (kLaneRight - kLaneLeft - kLaneNarrowWidth) / 2.0;
  QPolygonF lane;
  lane << QPointF(kLaneLeft, 0) << QPointF(kLaneRight, 0) << QPointF(kLaneRight - narrowing, kFreeThrowLine)
       << QPointF(kLaneLeft + narrowing, kFreeThrowLine);
  painter.setPen(Qt::NoPen);
  if (palette.Lane.isValid()) {
    painter.setBrush(palette.Lane);
    painter.drawPolygon(lane);
  }

  painter.setBrush(Qt::NoBrush);
  const double width = palette.LineWidth;
  painter.setPen(QPen(palette.Lines, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  // Baseline and sidelines, inside the picture; the centre line where the half ends.
  painter.drawRect(QRectF(width / 2, width / 2, kCourtWidth - width, depth + 10));
  if (toCentreLine) {
    painter.drawLine(QPointF(0, depth), QPointF(kCourtWidth, depth));
    painter.drawEllipse(QPointF(kBasket.x(), depth), kCircleRadius, kCircleRadius);
  }
  painter.drawPath(inside);
  painter.drawPolygon(lane);
  // Free-throw circle: solid outside the lane, dashed inside.
  const QRectF circle(kBasket.x() - kCircleRadius, kFreeThrowLine - kCircleRadius, 2 * kCircleRadius,
                      2 * kCircleRadius);
  painter.drawArc(circle, 0, -180 * 16);
  painter.setPen(QPen(palette.Lines, width * 0.75, Qt::DashLine));
  painter.drawArc(circle, 0, 180 * 16);

  // Backboard, rim and net.
  painter.setPen(QPen(palette.Board, width * 1.25));
  painter.drawLine(QPointF(kBasket.x() - 17, 22), QPointF(kBasket.x() + 17, 22));
  painter.setPen(QPen(palette.Rim, width));
  painter.drawEllipse(kBasket, 4.5, 4.5);
  painter.restore();
}

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
  PaintHalf(painter, kCourtHeight, PaletteOf(TCourtLook::Maple), false);
  painter.restore();
}

void PaintFullCourt(QPainter& painter, const QRectF& target, TCourtLook look) {
  const TPalette palette = PaletteOf(look);
  const double depth = kFullCourtWidth / 2.0;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(target.topLeft());
  painter.scale(target.width() / kFullCourtWidth, target.height() / kFullCourtHeight);
  const QTransform court = painter.transform();
  // The map's x runs up the left half and down the right one; its y runs towards the centre.
  painter.setTransform(QTransform(0, -1, 1, 0, 0, kFullCourtHeight) * court);
  PaintHalf(painter, depth, palette, true);
  painter.setTransform(QTransform(0, 1, -1, 0, kFullCourtWidth, 0) * court);
  PaintHalf(painter, depth, palette, true);
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
