#pragma once
// The program's small pictures, drawn rather than shipped: the logo and the two connection states.

#include <QPixmap>

namespace velmora::gui {

QPixmap LogoPicture(int size);
QPixmap ConnectedPicture(int size);
QPixmap DisconnectedPicture(int size);

}  // namespace velmora::gui
