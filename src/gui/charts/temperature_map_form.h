#pragma once
// The shot heat map ("Gráfico de tiro (Mapa de temperatura)"): the shot chart's filters, with the
// shots melted into a colour field from blue to red under the court's lines. The intensity bar
// sets how many shots make a place red; the map is rebuilt 300 ms after its last move.

#include <QImage>

#include "charts/shot_chart_form.h"

class QSlider;
class QTimer;

namespace velmora::gui {

class TTemperatureMapForm : public TShotChartForm {
  Q_OBJECT

 public:
  static constexpr int kRebuildDelayMs = 300;

  explicit TTemperatureMapForm(TGuiContext& context, QWidget* parent = nullptr);

  QImage Picture(double scale) const override;
  QSlider* ColorTrack() const { return ColorTrack_; }
  QTimer* RebuildTimer() const { return Timer_; }

 protected:
  void PaintChart(QPainter& painter, const QRectF& target) const override;
  void ShotsChanged() override;

 private:
  void ColorTrackChange();

  QSlider* ColorTrack_ = nullptr;
  QTimer* Timer_ = nullptr;
  QImage Field_;
};

}  // namespace velmora::gui
