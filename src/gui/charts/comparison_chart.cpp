#include "charts/comparison_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "charts/axis_steps.h"
#include "charts/chart_look.h"

namespace velmora::gui {

const std::array<unsigned, kComparisonSeries> kPeriodColours = {0x0A0064, 0x2D00E1, 0xB09FFF, 0x80FFFF,
                                                                0x0080FF, 0xFF8000, 0x00FF80, 0xFF80FF};

TComparisonScene::TComparisonScene(QChart& chart)
    : Chart_(chart), Series_(new QStackedBarSeries), Teams_(new QBarCategoryAxis), Values_(new QValueAxis) {
  DressChart(Chart_);
  for (std::size_t k = 0; k < kComparisonSeries; ++k) {
    Sets_[k] = new QBarSet(QString());
    const QColor colour = QColor::fromRgb(kPeriodColours[k]);
    Sets_[k]->setColor(colour);
    Sets_[k]->setBorderColor(colour.darker(130));
    Series_->append(Sets_[k]);
  }
  Series_->setBarWidth(0.55);
  Chart_.addSeries(Series_);
  Chart_.addAxis(Teams_, Qt::AlignBottom);
  Chart_.addAxis(Values_, Qt::AlignLeft);
  Series_->attachAxis(Teams_);
  Series_->attachAxis(Values_);
  DressValueAxis(*Values_);
}

void TComparisonScene::Show(const TComparisonChart& data) {
  Chart_.setTitle(QString::fromStdString(data.Title));
  Teams_->setCategories({QString::fromStdString(data.TeamNames[0]), QString::fromStdString(data.TeamNames[1])});
  double highest = 0;
  for (std::size_t k = 0; k < kComparisonSeries; ++k) {
    const TComparisonSeries& series = data.Series[k];
    QBarSet& set = *Sets_[k];
    set.setLabel(QString::fromStdString(series.Title));
    set.remove(0, set.count());
    if (series.Bars) set << (*series.Bars)[0] << (*series.Bars)[1];
  }
  for (int team = 0; team < 2; ++team) {
    double stacked = 0;
    for (QBarSet* set : Sets_) stacked += team < set->count() ? set->at(team) : 0;
    highest = std::max(highest, stacked);
  }
  const QList<QLegendMarker*> markers = Chart_.legend()->markers(Series_);
  for (std::size_t k = 0; k < kComparisonSeries && k < static_cast<std::size_t>(markers.size()); ++k) {
    markers[static_cast<qsizetype>(k)]->setVisible(data.Series[k].InLegend);
  }
  // Percentages on their whole scale, so that two charts compare at a glance.
  const double step = data.Percentage ? 10 : AxisStep(highest, 10);
  Values_->setRange(0, data.Percentage ? 100 : AxisTop(highest, step));
  Values_->setTickInterval(step);
}

}  // namespace velmora::gui
