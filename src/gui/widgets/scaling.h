#pragma once
// Sizes given for a 96-dpi screen, in the screen's own pixels.

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace velmora::gui {

inline double ScreenScale() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

inline int Scaled(int pixelsAt96Dpi) { return static_cast<int>(std::lround(pixelsAt96Dpi * ScreenScale())); }

}  // namespace velmora::gui
