#include "charts/chart_look.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>
#include <cmath>

namespace velmora::gui {

void DressChart(QChart& chart) {
  chart.setAnimationOptions(QChart::NoAnimation);
  chart.setBackgroundBrush(Qt::white);
  chart.setBackgroundRoundness(0);
  chart.setDropShadowEnabled(false);
  chart.setPlotAreaBackgroundVisible(false);
  QFont title = chart.titleFont();
  title.setBold(true);
  title.setPointSizeF(title.pointSizeF() * 1.25);
  chart.setTitleFont(title);
  chart.legend()->setAlignment(Qt::AlignTop);
  chart.legend()->setVisible(true);
}

void DressValueAxis(QValueAxis& axis) {
  axis.setTickType(QValueAxis::TicksDynamic);
  axis.setTickAnchor(0);
  axis.setLabelFormat(QStringLiteral("%d"));
  axis.setGridLineColor(QColor(220, 220, 220));
  axis.setMinorTickCount(0);
}

QImage ChartImage(QChart& chart, double scale) {
  const QRectF source = chart.sceneBoundingRect();
  QImage image(static_cast<int>(std::lround(source.width() * scale)), static_cast<int>(std::lround(source.height() * scale)),
               QImage::Format_RGB32);
  image.fill(Qt::white);
  if (!chart.scene()) return image;
  // The chart lays itself out when the event loop comes round; a picture taken at once must not
  // show the layout of its last data.
  chart.layout()->activate();
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  chart.scene()->render(&painter, QRectF(image.rect()), source);
  return image;
}

QImage StandaloneChartImage(const std::function<void(QChart&)>& dress, double scale) {
  QGraphicsScene scene;
  auto* chart = new QChart;  // the scene's
  scene.addItem(chart);
  dress(*chart);
  chart->resize(QSizeF(kChartViewSize));
  return ChartImage(*chart, scale);
}

}  // namespace velmora::gui
