#include "live/about_box.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "widgets/court_picture.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QLabel* Link(const QString& href, const QString& text, QWidget* parent) {
  auto* label = new QLabel(QStringLiteral("<a style=\"color:#ffd27a\" href=\"%1\">%2</a>").arg(href, text), parent);
  label->setOpenExternalLinks(true);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("AboutBox"));
  setModal(true);
  setFixedSize(Scaled(420), Scaled(300));
  auto* caption = new QLabel(tr("Talvex Velmora"), this);
  caption->setObjectName(QStringLiteral("ProductLabel"));
  QFont big = caption->font();
  big.setPixelSize(Scaled(34));
  big.setBold(true);
  caption->setFont(big);
  caption->setAlignment(Qt::AlignCenter);
  caption->setStyleSheet(QStringLiteral("color: white;"));
  auto* line = new QLabel(tr("Estadísticas de baloncesto en directo"), this);
  line->setAlignment(Qt::AlignCenter);
  line->setStyleSheet(QStringLiteral("color: #f0e0c8;"));
  auto* hint = new QLabel(tr("Presione una tecla para cerrar esta ventana"), this);
  hint->setAlignment(Qt::AlignCenter);
  hint->setStyleSheet(QStringLiteral("color: #f0e0c8;"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(16), Scaled(24), Scaled(16), Scaled(14));
  layout->addWidget(caption);
  layout->addWidget(line);
  layout->addStretch();
  layout->addWidget(Link(QStringLiteral("mailto:") + QString::fromLatin1(kProductMailAddress),
                         QString::fromLatin1(kProductMailAddress), this));
  layout->addWidget(Link(QString::fromLatin1(kProductWebAddress), QString::fromLatin1(kProductWebAddress), this));
  layout->addSpacing(Scaled(10));
  layout->addWidget(hint);
}

void TAboutBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient evening(0, 0, 0, height());
  evening.setColorAt(0, QColor(24, 34, 64));
  evening.setColorAt(1, QColor(120, 46, 22));
  painter.fillRect(rect(), evening);
  painter.setOpacity(0.18);
  const QRectF court = CourtRectIn(QRectF(0, height() * 0.35, width(), height() * 0.65));
  PaintHalfCourt(painter, court);
  painter.setOpacity(1);
  PaintBallMarker(painter, QRectF(width() - Scaled(74), Scaled(12), Scaled(60), Scaled(60)), false);
}

void TAboutBox::keyPressEvent(QKeyEvent*) { accept(); }

void TAboutBox::mousePressEvent(QMouseEvent*) { accept(); }

}  // namespace velmora::gui
