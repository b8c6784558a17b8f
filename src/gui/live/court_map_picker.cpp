#include "live/court_map_picker.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "widgets/court_picture.h"
#include "records/text_utils.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {
constexpr double kMarkerSize = 20;  // court pixels
}

TCourtMapPicker::TCourtMapPicker(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CourtMap"));
  setFixedSize(Scaled(static_cast<int>(kCourtWidth)), Scaled(static_cast<int>(kCourtHeight)));
  setCursor(Qt::CrossCursor);
}

void TCourtMapPicker::PlaceMarker(int x, int y, bool threePoints) {
  Marker_ = QPoint(x, y);
  ThreePoints_ = threePoints;
  update();
}

QPoint TCourtMapPicker::ToCourt(QPointF point) const {
  return {static_cast<int>(std::floor(point.x() * kCourtWidth / width())),
          static_cast<int>(std::floor(point.y() * kCourtHeight / height()))};
}

void TCourtMapPicker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintHalfCourt(painter, QRectF(rect()));
  const double scaleX = width() / kCourtWidth;
  const double scaleY = height() / kCourtHeight;
  const QRectF marker((Marker_.x() + 0.5 - kMarkerSize / 2) * scaleX, (Marker_.y() + 0.5 - kMarkerSize / 2) * scaleY,
                      kMarkerSize * scaleX, kMarkerSize * scaleY);
  PaintBallMarker(painter, marker, ThreePoints_);
}

void TCourtMapPicker::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouseMoveEvent(event);
}

void TCourtMapPicker::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint court = ToCourt(event->position());
  const std::string coordinates = std::to_string(court.x()) + "+" + std::to_string(court.y());
  PlaceMarker(court.x(), court.y(), PointsFromPosition(coordinates).value_or(2) == 3);
}

void TCourtMapPicker::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint court = ToCourt(event->position());
  if (OnRelease_) OnRelease_(court.x(), court.y());
}

}  // namespace velmora::gui
