#include "reports/engine/report_pictures.h"

#include <algorithm>
#include <cmath>

#include <QString>

namespace velmora::report {

QImage ReportPicture(const std::filesystem::path& file) {
  const QString path = QString::fromStdString(file.string());
  QImage picture(path);
  if (picture.isNull()) picture.load(path, "JPEG");
  if (picture.isNull()) {
    picture = QImage(1, 1, QImage::Format_RGB32);
    picture.fill(Qt::white);
  }
  return ScaledToReportHeight(picture);
}

QImage ScaledToReportHeight(const QImage& picture) {
  if (picture.isNull()) return picture;
  const double factor = static_cast<double>(picture.height()) / kReportPictureHeight;
  // nearbyint rounds a half to the even neighbour in the default rounding mode.
  const int width = std::max(1, static_cast<int>(std::nearbyint(picture.width() / factor)));
  return picture.scaled(width, kReportPictureHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace velmora::report
