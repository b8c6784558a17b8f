#pragma once
// The pictures of the shot chart and the heat map, each from one paint routine that paints onto
// any QPainter, so that the window, the saved and copied pictures, the command line and the printed
// report share them.

#include <QImage>
#include <QRectF>
#include <vector>

#include "charts/shot_chart.h"

class QPainter;

namespace velmora::gui {

// The full court with a marker per shot, filling `target` (the court's 481 x 279 or a multiple):
// in colour team 1 red and the other team blue, filled when made and white otherwise; in black
// and white black outlines, filled black when made.
void PaintShotChart(QPainter& painter, const QRectF& target, const std::vector<TShotMark>& shots, bool blackAndWhite);

// The heat map's colour field for the shots at the intensity, blurred. The blurred field holds
// nothing finer than its blur, so it is made at half the court's size and stretched smoothly to
// any size: a picture of any size costs the same.
QImage HeatField(const std::vector<TShotMark>& shots, int intensity);
// The field stretched over `target` with the court's lines on top.
void PaintHeatMap(QPainter& painter, const QRectF& target, const QImage& field);

// The court's size `scale` times over, in whole pixels.
QSize CourtPictureSize(double scale);
// The two charts as pictures `scale` times the court's size.
QImage ShotChartImage(const std::vector<TShotMark>& shots, bool blackAndWhite, double scale);
QImage HeatMapImage(const std::vector<TShotMark>& shots, int intensity, double scale);

}  // namespace velmora::gui
