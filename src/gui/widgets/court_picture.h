#pragma once
// The half court on which shots are placed, in its own 279 x 200 coordinate system: basket at
// (139, 29), three-point line at a distance of 114, the lane 110 wide at the baseline narrowing to
// 66 at the free-throw line (y 109). Drawn, not shipped, so it is crisp at any scale.

#include <QPointF>
#include <QRectF>

class QPainter;

namespace velmora::gui {

inline constexpr double kCourtWidth = 279;
inline constexpr double kCourtHeight = 200;

// Paints the court filling `target` (which should have the court's aspect).
void PaintHalfCourt(QPainter& painter, const QRectF& target);
// A ball marker filling `target`; the three-point one wears a gold ring.
void PaintBallMarker(QPainter& painter, const QRectF& target, bool threePoints);

// The largest rectangle of the court's aspect centred in `area`.
QRectF CourtRectIn(const QRectF& area);

}  // namespace velmora::gui
