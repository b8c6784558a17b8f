#pragma once
// The play-by-play: one row per shown action with the period, the time left in it, a Spanish
// sentence in the column of each team and the score after every basket. Follow-up actions get
// no rows of their own; their sentences join the row of the action they follow.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/date_time.h"
#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TMatchInfo;
class TModel;

struct TPlayByPlayRow {
  int Period = 1;
  std::string Team1Text;  // a carriage return breaks the line inside the cell
  std::string Team2Text;
  int Team1Score = 0;  // both set only on the rows of a basket
  int Team2Score = 0;
  TDateTime TimeLeft = 0;
};

// Every shown action of the model's list, in list order.
std::vector<TPlayByPlayRow> PlayByPlayRows(const TModel& model, const TMessageSource& messages);

// "7 A. Navas" for a player of the team's roster ("0" and "00" as worn), else "Equipo".
std::string PlayerLabel(const TMatchInfo& match, std::string_view team, std::string_view number);

// The Quarter column's texts: "Period 2", and after the last regular period "Overtime 1" and on.
struct TPeriodLabels {
  std::string Period;
  std::string Overtime;
  int RegularPeriods = 4;
  std::string Label(int period) const;
};
TPeriodLabels PeriodLabelsOf(const TModel& model, const TMessageSource& messages);

void DefinePlayByPlayReport(TReportData& data);
// Portrait; the common header with scores, the starters of both teams, ActionListConnection.
void FillPlayByPlayReport(TReportData& data, const TModel& model, const TMessageSource& messages);

// The rows as a data connection: Quarter, GameTime, Team1Action, Team2Action, Score.
class TActionListConnection final : public TDataConnection {
 public:
  TActionListConnection(std::vector<TPlayByPlayRow> rows, TPeriodLabels labels)
      : Rows_(std::move(rows)), Labels_(std::move(labels)) {}
  int Open() override { return static_cast<int>(Rows_.size()); }
  std::vector<TReportColumn> Columns() override;
  std::vector<std::string> Row(int index) override;

 private:
  std::vector<TPlayByPlayRow> Rows_;
  TPeriodLabels Labels_;
};

}  // namespace velmora
