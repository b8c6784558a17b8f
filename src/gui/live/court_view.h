#pragma once
// The court on its black panel ("ImagePanel"): the picture ("FieldImage") keeps the court's aspect
// at whatever size the window gives it, clicks come back in court coordinates (279 x 200), and the
// two ball markers ("BallImage", "Ball3Image") are placed by court coordinates too.

#include <QWidget>
#include <functional>

namespace velmora::gui {

class TCourtPicture;
class TBallMarker;

class TCourtPanel : public QWidget {
 public:
  // Receives the court coordinates of a released mouse button (not clamped) and the button.
  using TReleaseHandler = std::function<void(int x, int y, Qt::MouseButton button)>;

  explicit TCourtPanel(QWidget* parent = nullptr);

  void SetReleaseHandler(TReleaseHandler handler) { OnRelease_ = std::move(handler); }
  // Shows the marker for two or three points centred on the court point, hiding the other one.
  void ShowMarker(bool threePoints, int x, int y);
  void HideMarkers();
  bool MarkerShown(bool threePoints) const;

  QWidget* Picture() const;
  // Widget coordinates of the picture for a court point, and back.
  QPointF ToPicture(double x, double y) const;
  QPoint ToCourt(QPointF picturePoint) const;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TCourtPicture;
  void Released(QPointF picturePoint, Qt::MouseButton button);
  void PlaceMarkers();

  TCourtPicture* Picture_;
  TBallMarker* Ball_;
  TBallMarker* Ball3_;
  QPoint MarkerAt_;
  TReleaseHandler OnRelease_;
};

}  // namespace velmora::gui
