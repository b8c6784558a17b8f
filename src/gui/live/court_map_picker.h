#pragma once
// The court map of the edit dialog ("CourtMap"): the court at its own size of 279 x 200 with a
// ball marker that follows the pointer while the left button is held. The release is reported in
// court coordinates, not clamped.

#include <QWidget>
#include <functional>

namespace velmora::gui {

class TCourtMapPicker : public QWidget {
 public:
  using TReleaseHandler = std::function<void(int x, int y)>;

  explicit TCourtMapPicker(QWidget* parent = nullptr);

  void SetReleaseHandler(TReleaseHandler handler) { OnRelease_ = std::move(handler); }
  // Puts the marker on the court point; the three-point marker when `threePoints`.
  void PlaceMarker(int x, int y, bool threePoints);
  QPoint Marker() const { return Marker_; }
  // Court coordinates of a point of the widget.
  QPoint ToCourt(QPointF point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPoint Marker_{139, 29};
  bool ThreePoints_ = false;
  TReleaseHandler OnRelease_;
};

}  // namespace velmora::gui
