#include "reports/rosters_report.h"

#include <memory>

#include "records/game_time.h"
#include "records/roster_rows.h"
#include "reports/common_header.h"
#include "stats/model.h"

namespace velmora {

void DefineRostersReport(TReportData& data) {
  data.ProjectFileName = "reports.rav";
  data.ReportName = "Rosters";
  data.Caption = "Rosters";
  data.Copies = 1;
}

void FillRostersReport(TReportData& data, const TModel& model, const TMessageSource& messages) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::Without);
  data.AddConnection("RostersConnection1", std::make_unique<TRostersConnection>(model, 1));
  data.AddConnection("RostersConnection2", std::make_unique<TRostersConnection>(model, 2));
}

int TRostersConnection::Open() { return Model_.MatchInfo.Team(Team_).PlayerCount; }

std::vector<TReportColumn> TRostersConnection::Columns() {
  return {{"No", 255, "Shirt number"},
          {"Name", 255, "Name"},
          {"Height", 255, "Height"},
          {"Position", 255, "Position"},
          {"BirthDate", 255, "Date of birth"}};
}

std::vector<std::string> TRostersConnection::Row(int index) {
  const TTeam& team = Model_.MatchInfo.Team(Team_);
  if (index < 0 || index >= team.PlayerCount) return std::vector<std::string>(5);
  // The roster editor shows heights and birth dates the same way.
  const TRosterRow row = RosterRowOf(team.Player(index + 1));
  return {row.Number + " ", row.Name + " " + row.Surname, row.Height, PositionName(row.Position), row.Born};
}

}  // namespace velmora
