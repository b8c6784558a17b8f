#include "charts/development_chart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

#include "charts/axis_steps.h"
#include "charts/chart_look.h"

namespace velmora::gui {

namespace {

const QColor kTeamColours[2] = {QColor(0x80, 0xFF, 0xFF), QColor(0x00, 0x00, 0x80)};
// The bands: only team 1's players, only team 2's, both.
const QColor kBandColours[3] = {QColor(0xFF, 0xB3, 0xB3), QColor(0xFF, 0x55, 0x55), QColor(0xFF, 0x00, 0x00)};
// How far the "3D" view reaches back, in scene units.
constexpr double kDepth = 7;

}  // namespace

// Drawn behind the series: the presence bands over the plot's height and, in the "3D" view, the
// ribbons behind the lines or the sides and tops of the bars.
class TDevelopmentDecoration final : public QGraphicsItem {
 public:
  explicit TDevelopmentDecoration(QChart& chart) : QGraphicsItem(&chart), Chart_(chart) {
    // Above the chart's background, below its grid and series.
    setZValue(0.5);
  }

  void Set(const TDevelopmentChart& data, const TDevelopmentLook& look, QLineSeries* reference) {
    prepareGeometryChange();
    Data_ = data;
    Look_ = look;
    Reference_ = reference;
    update();
  }

  QRectF boundingRect() const override { return Chart_.plotArea().adjusted(-1, -kDepth - 1, kDepth + 1, 1); }

  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    if (!Reference_ || Data_.Minutes == 0) return;
    const QRectF plot = Chart_.plotArea();
    const auto at = [this](double x, double y) { return Chart_.mapToPosition(QPointF(x, y), Reference_); };
    painter->save();
    painter->setClipRect(plot.adjusted(0, -kDepth, kDepth, 0));
    // Bars stand on the minute after their own; a line's minute lies between two points.
    const double first = Look_.Bars ? 0.5 : 0;
    for (int m = 0; m < Data_.Minutes; ++m) {
      const TPresence band = Data_.Bands[static_cast<std::size_t>(m)];
      if (band == TPresence::None) continue;
      const double left = at(first + m, 0).x();
      const double right = at(first + m + 1, 0).x();
      painter->fillRect(QRectF(QPointF(left, plot.top()), QPointF(right, plot.bottom())),
                        kBandColours[static_cast<int>(band) - 1]);
    }
    if (Look_.ThreeD) PaintDepth(*painter, at);
    painter->restore();
  }

 private:
  template <typename TMap>
  void PaintDepth(QPainter& painter, const TMap& at) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF back(kDepth, -kDepth);
    for (int t = 0; t < 2; ++t) {
      const QColor colour = kTeamColours[t];
      painter.setPen(QPen(colour.darker(150), 0.8));
      const std::vector<std::pair<double, double>> points =
          DevelopmentPoints(Data_.Values[static_cast<std::size_t>(t)], Look_.Bars);
      if (Look_.Bars) {
        // The bar's top and right side, set back; its front is the series' own bar.
        painter.setBrush(colour.darker(115));
        for (const auto& [x, y] : points) {
          if (y <= 0) continue;  // a bar of nothing has no sides
          const double left = x - 0.5 + 0.5 * t;
          const QPointF topLeft = at(left, y);
          const QPointF topRight = at(left + 0.5, y);
          const QPointF bottomRight = at(left + 0.5, 0);
          painter.drawPolygon(QPolygonF({topLeft, topLeft + back, topRight + back, topRight}));
          painter.drawPolygon(QPolygonF({topRight, topRight + back, bottomRight + back, bottomRight}));
        }
      } else {
        // A ribbon from the line back into the depth.
        painter.setBrush(colour.lighter(105));
        for (std::size_t i = 1; i < points.size(); ++i) {
          const QPointF from = at(points[i - 1].first, points[i - 1].second);
          const QPointF to = at(points[i].first, points[i].second);
          painter.drawPolygon(QPolygonF({from, to, to + back, from + back}));
        }
      }
    }
  }

  QChart& Chart_;
  TDevelopmentChart Data_;
  TDevelopmentLook Look_;
  QLineSeries* Reference_ = nullptr;
};

TDevelopmentScene::TDevelopmentScene(QChart& chart, const std::array<std::string, 2>& teamNames)
    : Chart_(chart), Bars_(new QBarSeries), Minutes_(new QValueAxis), Values_(new QValueAxis) {
  DressChart(Chart_);
  Chart_.addAxis(Minutes_, Qt::AlignBottom);
  Chart_.addAxis(Values_, Qt::AlignLeft);
  for (int t = 0; t < 2; ++t) {
    const QString name = QString::fromStdString(teamNames[static_cast<std::size_t>(t)]);
    Lines_[t] = new QLineSeries;
    Lines_[t]->setName(name);
    Lines_[t]->setPen(QPen(kTeamColours[t], 1));
    Sets_[t] = new QBarSet(name);
    Sets_[t]->setColor(kTeamColours[t]);
    Sets_[t]->setBorderColor(kTeamColours[t].darker(150));
    Bars_->append(Sets_[t]);
  }
  Bars_->setBarWidth(1.0);
  Chart_.addSeries(Bars_);
  for (QLineSeries* line : Lines_) Chart_.addSeries(line);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{Bars_, Lines_[0], Lines_[1]}) {
    series->attachAxis(Minutes_);
    series->attachAxis(Values_);
  }
  // The legend names the teams by the bar series' colours; the lines share them.
  for (QLineSeries* line : Lines_) {
    for (QLegendMarker* marker : Chart_.legend()->markers(line)) marker->setVisible(false);
  }
  DressValueAxis(*Minutes_);
  DressValueAxis(*Values_);
  Minutes_->setTitleText(QObject::tr("Minuto"));
  Decoration_ = new TDevelopmentDecoration(Chart_);
}

void TDevelopmentScene::Show(const TDevelopmentChart& data, const TDevelopmentLook& look) {
  Chart_.setTitle(QString::fromStdString(data.Title));
  double highest = 0;
  for (int t = 0; t < 2; ++t) {
    const std::vector<double>& values = data.Values[static_cast<std::size_t>(t)];
    for (const double value : values) highest = std::max(highest, value);
    QList<QPointF> points;
    if (!look.Bars) {
      for (const auto& [x, y] : DevelopmentPoints(values, false)) points.append(QPointF(x, y));
    }
    Lines_[t]->replace(points);
    Lines_[t]->setPen(QPen(kTeamColours[t], look.ThreeD ? 1 : 3));
    // The bars' first value stands at 0, outside the axis, so that minute m's bar is at m + 1.
    QList<qreal> bars;
    if (look.Bars) {
      bars.append(0);
      for (const double value : values) bars.append(value);
    }
    Sets_[t]->remove(0, Sets_[t]->count());
    Sets_[t]->append(bars);
  }
  const double minutes = std::max(data.Minutes, 1);
  if (look.Bars) {
    Minutes_->setRange(0.5, minutes + 0.5);
  } else {
    Minutes_->setRange(0, minutes);
  }
  Minutes_->setTickInterval(AxisStep(minutes, 25));
  const double step = data.Percentage ? 10 : AxisStep(highest, 10);
  Values_->setRange(0, data.Percentage ? 100 : AxisTop(highest, step));
  Values_->setTickInterval(step);
  Decoration_->Set(data, look, Lines_[0]);
}

}  // namespace velmora::gui
