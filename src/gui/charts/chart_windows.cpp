#include "charts/chart_windows.h"

#include <QApplication>
#include <memory>

#include "charts/score_development_form.h"
#include "charts/team_comparison_form.h"
#include "charts/temperature_map_form.h"

namespace velmora::gui {

namespace {

std::unique_ptr<QDialog> MakeChart(TChartKind kind, TGuiContext& context, QWidget* parent) {
  switch (kind) {
    case TChartKind::ShotChart:
    case TChartKind::HeatMap: {
      std::unique_ptr<TShotChartForm> form = kind == TChartKind::HeatMap
                                                 ? std::make_unique<TTemperatureMapForm>(context, parent)
                                                 : std::make_unique<TShotChartForm>(context, parent);
      form->Fill();
      return form;
    }
    case TChartKind::TeamComparison: return std::make_unique<TTeamComparisonForm>(context, parent);
    case TChartKind::ScoreDevelopment: break;
  }
  return std::make_unique<TScoreDevelopmentChartForm>(context, parent);
}

}  // namespace

void ShowChart(TChartKind kind, TGuiContext& context, QWidget* parent) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<QDialog> form;
  try {
    form = MakeChart(kind, context, parent);
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
  form->exec();
}

}  // namespace velmora::gui
