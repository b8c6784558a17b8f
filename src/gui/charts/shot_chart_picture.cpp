#include "charts/shot_chart_picture.h"

#include <QPainter>
#include <cmath>

#include "charts/heat_map.h"
#include "widgets/court_picture.h"

namespace velmora::gui {

namespace {

constexpr double kMarkerRadius = 4;
constexpr double kFieldScale = 0.5;

QColor Rgb(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

}  // namespace

QSize CourtPictureSize(double scale) {
  return {static_cast<int>(std::lround(kFullCourtWidth * scale)), static_cast<int>(std::lround(kFullCourtHeight * scale))};
}

void PaintShotChart(QPainter& painter, const QRectF& target, const std::vector<TShotMark>& shots, bool blackAndWhite) {
  PaintFullCourt(painter, target, blackAndWhite ? TCourtLook::BlackAndWhite : TCourtLook::Light);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(target.topLeft());
  painter.scale(target.width() / kFullCourtWidth, target.height() / kFullCourtHeight);
  for (const TShotMark& shot : shots) {
    const QColor team = blackAndWhite ? QColor(Qt::black) : shot.Team == 1 ? QColor(Qt::red) : QColor(Qt::blue);
    painter.setPen(QPen(team, 1.2));
    painter.setBrush(shot.Made == "Made" ? team : QColor(Qt::white));
    painter.drawEllipse(QPointF(shot.Point.X, shot.Point.Y), kMarkerRadius, kMarkerRadius);
  }
  painter.restore();
}

QImage HeatField(const std::vector<TShotMark>& shots, int intensity) {
  const double scale = kFieldScale;
  THeatGrid grid;
  for (const TShotMark& shot : shots) grid.Stamp(shot.Point);
  grid.Normalise(intensity);

  QImage field(CourtPictureSize(scale), QImage::Format_RGB32);
  {
    QPainter painter(&field);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    const double half = kHeatCellSize / 2.0;
    for (const THeatCell& cell : HeatCells(grid)) {
      const QPointF corner(cell.X, cell.Y);
      // Top left, bottom left, bottom right, top right.
      const QPointF offsets[4] = {{0, 0}, {0, half}, {half, half}, {half, 0}};
      for (int q = 0; q < 4; ++q) {
        painter.fillRect(QRectF(corner + offsets[q], QSizeF(half, half)), Rgb(cell.Quarters[q]));
      }
      painter.setBrush(Rgb(cell.Colour));
      painter.drawRoundedRect(QRectF(corner, QSizeF(kHeatCellSize, kHeatCellSize)), half / 2, half / 2);
    }
  }
  GaussianBlur(reinterpret_cast<std::uint32_t*>(field.bits()), field.width(), field.height(),
               static_cast<int>(field.bytesPerLine() / 4), HeatBlurSigma(scale));
  return field;
}

void PaintHeatMap(QPainter& painter, const QRectF& target, const QImage& field) {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, field);
  painter.restore();
  PaintFullCourt(painter, target, TCourtLook::LinesOnly);
}

QImage ShotChartImage(const std::vector<TShotMark>& shots, bool blackAndWhite, double scale) {
  QImage picture(CourtPictureSize(scale), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  PaintShotChart(painter, QRectF(picture.rect()), shots, blackAndWhite);
  return picture;
}

QImage HeatMapImage(const std::vector<TShotMark>& shots, int intensity, double scale) {
  QImage picture(CourtPictureSize(scale), QImage::Format_RGB32);
  QPainter painter(&picture);
  PaintHeatMap(painter, QRectF(picture.rect()), HeatField(shots, intensity));
  return picture;
}

}  // namespace velmora::gui
