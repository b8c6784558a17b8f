#pragma once
// What the Qt charts of the program have in common: their look, their axes, and the picture of a
// chart at any scale, taken from the scene that holds it.

#include <QImage>
#include <QSize>
#include <functional>

class QChart;
class QValueAxis;

namespace velmora::gui {

// The size of a chart in its window, at 96 dpi.
inline constexpr QSize kChartViewSize(760, 400);

// White, without animations, the title in bold and the legend at the top.
void DressChart(QChart& chart);
// Whole-number labels from an anchor at 0, with light grid lines.
void DressValueAxis(QValueAxis& axis);

// The chart as it lies in its scene, `scale` times its size.
QImage ChartImage(QChart& chart, double scale);
// A chart of its own, dressed by `dress` and laid out at the window's size, without a window.
QImage StandaloneChartImage(const std::function<void(QChart&)>& dress, double scale);

}  // namespace velmora::gui
