#pragma once
// The courts, drawn from the court map's constants (records/court_map.h) so they are crisp at any
// scale: the half court on which shots are placed (279 x 200, basket at (139, 29)) and the full
// court of the shot charts (481 x 279, each half the court map turned to face the other).

#include <QPointF>
#include <QRectF>

#include "records/court_map.h"

class QPainter;

namespace velmora::gui {

inline constexpr double kCourtWidth = kCourtMapWidth;
inline constexpr double kCourtHeight = kCourtMapHeight;

// How a court is coloured: the live window's maple floor; the charts' light floor; white with
// black lines for black and white; and the lines alone, to lie over a picture.
enum class TCourtLook { Maple, Light, BlackAndWhite, LinesOnly };

// Paints the half court filling `target` (which should have the court's aspect).
void PaintHalfCourt(QPainter& painter, const QRectF& target);
// Paints the full court filling `target` (481 x 279 or a multiple of it).
void PaintFullCourt(QPainter& painter, const QRectF& target, TCourtLook look);
// A ball marker filling `target`; the three-point one wears a gold ring.
void PaintBallMarker(QPainter& painter, const QRectF& target, bool threePoints);

// The largest rectangle of the court's aspect centred in `area`.
QRectF CourtRectIn(const QRectF& area);

}  // namespace velmora::gui
