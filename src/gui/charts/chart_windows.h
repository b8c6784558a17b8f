#pragma once
// Opening a chart window from the live window's report menu: the hourglass while it is made,
// shown modally, destroyed when closed.

class QWidget;

namespace velmora::gui {

struct TGuiContext;

enum class TChartKind { ShotChart, HeatMap, TeamComparison, ScoreDevelopment };

void ShowChart(TChartKind kind, TGuiContext& context, QWidget* parent);

}  // namespace velmora::gui
