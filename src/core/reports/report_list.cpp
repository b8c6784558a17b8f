#include "reports/report_list.h"

#include <array>

#include "reports/box_score_report.h"
#include "reports/lineup_efficiency_report.h"
#include "reports/media_box_score_report.h"
#include "reports/play_by_play_report.h"
#include "reports/rosters_report.h"
#include "reports/team_leaders_report.h"

namespace velmora {

namespace {

constexpr std::array kReports = {
    TReportKind{"boxscore", DefineBoxScoreReport, FillBoxScoreReport},
    TReportKind{"lineupefficiency", DefineLineupEfficiencyReport, FillLineupEfficiencyReport},
    TReportKind{"mediaboxscore", DefineMediaBoxScoreReport, FillMediaBoxScoreReport},
    TReportKind{"playbyplay", DefinePlayByPlayReport, FillPlayByPlayReport},
    TReportKind{"rosters", DefineRostersReport, FillRostersReport},
    TReportKind{"teamleaders", DefineTeamLeadersReport, FillTeamLeadersReport},
};

}  // namespace

std::span<const TReportKind> ReportKinds() { return kReports; }

const TReportKind* FindReportKind(std::string_view name) {
  for (const TReportKind& kind : kReports) {
    if (kind.Name == name) return &kind;
  }
  return nullptr;
}

TReportData MakeReportData(const TReportKind& kind, const TModel& model, const TMessages& messages) {
  TReportData data;
  kind.Define(data);
  kind.Fill(data, model, messages);
  SetTranslatedLabels(data, messages.Table());
  return data;
}

}  // namespace velmora
