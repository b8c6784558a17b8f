#include "live/court_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "widgets/court_picture.h"
#include "widgets/scaling.h"

namespace velmora::gui {

class TCourtPicture final : public QWidget {
 public:
  explicit TCourtPicture(TCourtPanel* panel) : QWidget(panel), Panel_(panel) {
    setObjectName(QStringLiteral("FieldImage"));
    setCursor(Qt::CrossCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintHalfCourt(painter, QRectF(rect()));
  }
  void mouseReleaseEvent(QMouseEvent* event) override { Panel_->Released(event->position(), event->button()); }

 private:
  TCourtPanel* Panel_;
};

class TBallMarker final : public QWidget {
 public:
  TBallMarker(QWidget* parent, bool threePoints) : QWidget(parent), ThreePoints_(threePoints) {
    setObjectName(threePoints ? QStringLiteral("Ball3Image") : QStringLiteral("BallImage"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintBallMarker(painter, QRectF(rect()), ThreePoints_);
  }

 private:
  bool ThreePoints_;
};

TCourtPanel::TCourtPanel(QWidget* parent)
    : QWidget(parent),
      Picture_(new TCourtPicture(this)),
      Ball_(new TBallMarker(this, false)),
      Ball3_(new TBallMarker(this, true)) {
  setObjectName(QStringLiteral("ImagePanel"));
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  // At least twice the court's own size, so that a click lands within half a court pixel.
  setMinimumSize(Scaled(2 * static_cast<int>(kCourtWidth)), Scaled(2 * static_cast<int>(kCourtHeight)));
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

int TCourtPanel::heightForWidth(int width) const {
  return static_cast<int>(std::lround(width * kCourtHeight / kCourtWidth));
}

QSize TCourtPanel::sizeHint() const { return minimumSize(); }

QWidget* TCourtPanel::Picture() const { return Picture_; }

void TCourtPanel::resizeEvent(QResizeEvent*) {
  Picture_->setGeometry(CourtRectIn(QRectF(rect())).toRect());
  PlaceMarkers();
}

QPointF TCourtPanel::ToPicture(double x, double y) const {
  return {x * Picture_->width() / kCourtWidth, y * Picture_->height() / kCourtHeight};
}

QPoint TCourtPanel::ToCourt(QPointF picturePoint) const {
  return {static_cast<int>(std::floor(picturePoint.x() * kCourtWidth / Picture_->width())),
          static_cast<int>(std::floor(picturePoint.y() * kCourtHeight / Picture_->height()))};
}

void TCourtPanel::Released(QPointF picturePoint, Qt::MouseButton button) {
  const QPoint court = ToCourt(picturePoint);
  if (OnRelease_) OnRelease_(court.x(), court.y(), button);
}

void TCourtPanel::ShowMarker(bool threePoints, int x, int y) {
  MarkerAt_ = QPoint(x, y);
  (threePoints ? Ball_ : Ball3_)->hide();
  (threePoints ? Ball3_ : Ball_)->show();
  PlaceMarkers();
}

void TCourtPanel::HideMarkers() {
  Ball_->hide();
  Ball3_->hide();
}

bool TCourtPanel::MarkerShown(bool threePoints) const { return (threePoints ? Ball3_ : Ball_)->isVisible(); }

void TCourtPanel::PlaceMarkers() {
  // A marker is 20 court pixels across, centred on its point.
  const QPointF size = ToPicture(20, 20);
  const QPointF centre = Picture_->pos() + ToPicture(MarkerAt_.x() + 0.5, MarkerAt_.y() + 0.5);
  const QRect area(QPoint(static_cast<int>(centre.x() - size.x() / 2), static_cast<int>(centre.y() - size.y() / 2)),
                   QSize(static_cast<int>(size.x()), static_cast<int>(size.y())));
  Ball_->setGeometry(area);
  Ball3_->setGeometry(area);
  Ball_->raise();
  Ball3_->raise();
}

}  // namespace velmora::gui
