// Draws the default header, footer and logo pictures of the reports:
// make_report_pictures FOLDER writes FOLDER/header.jpg, footer.jpg and logo.jpg.
#include <cstdio>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include "widgets/pictures.h"

namespace {

const QColor kNavy(31, 58, 95);
const QColor kOrange(230, 120, 30);

// A wide band in the sheets' navy with the lines of a half court at its right end.
QImage Header() {
  QImage image(3280, 82, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, image.width(), 0);
  fill.setColorAt(0, kNavy);
  fill.setColorAt(1, QColor(47, 95, 143));
  painter.fillRect(image.rect(), fill);
  painter.fillRect(QRect(0, 74, image.width(), 8), kOrange);
  painter.setPen(QPen(QColor(255, 255, 255, 90), 4));
  painter.setBrush(Qt::NoBrush);
  const double basket = image.width() - 150;
  painter.drawEllipse(QPointF(basket, 37), 330, 330);
  painter.drawRect(QRectF(basket - 90, -10, 180, 100));
  painter.drawEllipse(QPointF(basket - 90, 37), 60, 60);
  return image;
}

// A slim strip: the ball, then a navy rule that fades out.
QImage Footer() {
  QImage image(1200, 82, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  velmora::gui::PaintBall(painter, QRectF(4, 4, 74, 74));
  QLinearGradient fade(90, 0, image.width(), 0);
  fade.setColorAt(0, kNavy);
  fade.setColorAt(1, Qt::white);
  painter.fillRect(QRectF(90, 36, image.width() - 90, 10), fade);
  return image;
}

QImage Logo() {
  QImage image(328, 328, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kNavy, 18));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRectF(12, 12, 304, 304));
  velmora::gui::PaintBall(painter, QRectF(48, 48, 232, 232));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
  const bool written = Header().save(folder + QStringLiteral("header.jpg"), "JPEG", 92) &&
                       Footer().save(folder + QStringLiteral("footer.jpg"), "JPEG", 92) &&
                       Logo().save(folder + QStringLiteral("logo.jpg"), "JPEG", 92);
  if (!written) std::fprintf(stderr, "cannot write the pictures into %s\n", argv[1]);
  return written ? 0 : 1;
}
