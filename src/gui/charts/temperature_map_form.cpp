#include "charts/temperature_map_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "charts/chart_widgets.h"
#include "charts/heat_map.h"
#include "charts/shot_chart_picture.h"

namespace velmora::gui {

TTemperatureMapForm::TTemperatureMapForm(TGuiContext& context, QWidget* parent) : TShotChartForm(context, parent) {
  setObjectName(QStringLiteral("TemperatureMapForm"));
  setWindowTitle(tr("Gráfico de tiro (Mapa de temperatura)"));
  ColorButton()->hide();
  BlackWhiteButton()->hide();

  auto* row = new QHBoxLayout;
  auto* label = new QLabel(tr("Intensidad: "), this);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  ColorTrack_ = new QSlider(Qt::Horizontal, this);
  ColorTrack_->setObjectName(QStringLiteral("ColorTrack"));
  ColorTrack_->setRange(kMinIntensity, kMaxIntensity);
  ColorTrack_->setValue(kDefaultIntensity);
  ColorTrack_->setTickInterval(5);
  ColorTrack_->setTickPosition(QSlider::TicksBelow);
  ColorTrack_->setToolTip(tr("Con más intensidad hacen falta más tiros para llegar al rojo"));
  // The bar's value and the colour scale follow at once; the map follows when the bar stops.
  auto* value = new QLabel(this);
  value->setObjectName(QStringLiteral("IntensityLabel"));
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("100")));
  value->setNum(ColorTrack_->value());
  auto* scale = new TChartPicture(QSize(110, 14), this);
  scale->setObjectName(QStringLiteral("ColorScale"));
  scale->SetPainter([](QPainter& painter, const QRectF& target) {
    QLinearGradient gradient(target.topLeft(), target.topRight());
    for (int v = 0; v <= 255; v += 15) gradient.setColorAt(v / 255.0, QColor::fromRgb(HeatColour(v)));
    painter.fillRect(target, gradient);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
  });
  connect(ColorTrack_, &QSlider::valueChanged, value, [value](int intensity) { value->setNum(intensity); });
  scale->setToolTip(tr("De ningún tiro (azul) a muchos tiros (rojo)"));
  row->addWidget(label);
  row->addWidget(ColorTrack_, 1);
  row->addWidget(value);
  row->addWidget(scale);
  ChartGroupLayout()->addLayout(row);

  Timer_ = new QTimer(this);
  Timer_->setObjectName(QStringLiteral("RebuildTimer"));
  Timer_->setSingleShot(true);
  Timer_->setInterval(kRebuildDelayMs);
  connect(ColorTrack_, &QSlider::valueChanged, this, &TTemperatureMapForm::ColorTrackChange);
  connect(Timer_, &QTimer::timeout, this, &TTemperatureMapForm::Generate);
}

void TTemperatureMapForm::ColorTrackChange() {
  // Every move starts the wait again: dragging the bar rebuilds the map once, after it stops.
  Timer_->stop();
  Timer_->start();
}

void TTemperatureMapForm::ShotsChanged() {
  Timer_->stop();
  Field_ = HeatField(Shots(), ColorTrack_->value());
}

void TTemperatureMapForm::PaintChart(QPainter& painter, const QRectF& target) const {
  PaintHeatMap(painter, target, Field_);
}

QImage TTemperatureMapForm::Picture(double scale) const {
  return HeatMapImage(Shots(), ColorTrack_->value(), scale);
}

}  // namespace velmora::gui
