#pragma once
// How the live window's report menu opens a report window: made with the hourglass cursor (which
// goes again also when making it fails), shown modally, destroyed when it is closed.

class QWidget;

namespace velmora::gui {

struct TGuiContext;

void ShowBoxScoreReport(TGuiContext& context, QWidget* parent);
void ShowLineupEfficiencyReport(TGuiContext& context, QWidget* parent);
void ShowMediaBoxScoreReport(TGuiContext& context, QWidget* parent);
void ShowPlayByPlayReport(TGuiContext& context, QWidget* parent);
void ShowRostersReport(TGuiContext& context, QWidget* parent);
void ShowTeamLeadersReport(TGuiContext& context, QWidget* parent);

}  // namespace velmora::gui
