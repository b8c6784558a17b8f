#pragma once
// The program's small pictures, drawn rather than shipped: the ball, the logo and the two connection
// states.

#include <QPixmap>

class QPainter;

namespace velmora::gui {

// A basketball filling the square `ball`.
void PaintBall(QPainter& painter, const QRectF& ball);

QPixmap LogoPicture(int size);
QPixmap ConnectedPicture(int size);
QPixmap DisconnectedPicture(int size);

}  // namespace velmora::gui
