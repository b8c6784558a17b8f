#include "reports/report_windows.h"

#include <QApplication>
#include <memory>

#include "reports/print_boxscore_form.h"
#include "reports/print_lineup_efficiency_form.h"
#include "reports/print_media_boxscore_form.h"
#include "reports/print_playbyplay_form.h"
#include "reports/print_rosters_form.h"
#include "reports/print_team_leaders_form.h"

namespace velmora::gui {

namespace {

template <class TForm>
void ShowReport(TGuiContext& context, QWidget* parent) {
  std::unique_ptr<TForm> form;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    form = std::make_unique<TForm>(context, parent);
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
  form->exec();
}

}  // namespace

void ShowBoxScoreReport(TGuiContext& context, QWidget* parent) { ShowReport<TPrintBoxscoreForm>(context, parent); }

void ShowLineupEfficiencyReport(TGuiContext& context, QWidget* parent) {
  ShowReport<TPrintLineupEfficiencyForm>(context, parent);
}

void ShowMediaBoxScoreReport(TGuiContext& context, QWidget* parent) {
  ShowReport<TPrintMediaBoxscoreForm>(context, parent);
}

void ShowPlayByPlayReport(TGuiContext& context, QWidget* parent) { ShowReport<TPrintPlayByPlayForm>(context, parent); }

void ShowRostersReport(TGuiContext& context, QWidget* parent) { ShowReport<TPrintRostersForm>(context, parent); }

void ShowTeamLeadersReport(TGuiContext& context, QWidget* parent) {
  ShowReport<TPrintTeamLeadersForm>(context, parent);
}

}  // namespace velmora::gui
