#pragma once
// The lineup efficiency: every five one team put on the court, rebuilt from the substitutions,
// with its playing time or the score while it played, absolute or per 40 minutes, best first.
// Made on request for one team and one of seven figures.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/action.h"
#include "records/message_source.h"
#include "records/result.h"
#include "reports/report_data.h"

namespace velmora {

class TMatchInfo;
class TModel;

// One stretch of time in which one five of a team stayed the same.
struct TStint {
  std::array<std::string, 5> Players;  // "Player In" texts; a slot may be empty
  long long Value = 0;
  int Start = 0;  // game clock, whole seconds
  int End = 0;
};

// The seven figures in the order of the window's choices, by message key.
inline constexpr std::array<std::string_view, 7> kLineupOptions = {
    "Minutes_Played",      "Score_Development", "Score_Development_40min", "Points_Scored",
    "Points_Scored_40min", "Points_Allowed",    "Points_Allowed_40min"};

// The team's stints in the order they began, the last one running to the current game clock.
std::vector<TStint> StintsOf(const TActionList& actions, TDateTime currentGameTime, int team);
// The stints taken for the option with their values (for options 1 to 6 only those that last);
// the error names a shot whose points are not a number.
TResult<std::vector<TStint>> StintValues(const std::vector<TStint>& stints, const TActionList& actions, int team,
                                         int option);
// One entry per five, the values of its stints added, best first, each five's numbers ascending;
// the error names a slot that is not a number.
TResult<std::vector<TStint>> LineupResults(std::vector<TStint> stints);
// "12:34" (playing time, "01:05:00" past an hour), "+4", or the plain number.
std::string LineupValueText(long long value, int option);

void DefineLineupEfficiencyReport(TReportData& data);
// Portrait; the common header with scores; LineupEfficiencyConnection without rows.
void FillLineupEfficiencyReport(TReportData& data, const TModel& model, const TMessageSource& messages);
// "Generar informe": the rows of the team (1 or 2) and option (0 to 6), and COUNTRYSELECTED and
// OPTIONSELECTED; on an error the previous rows and texts stay.
TStatus GenerateLineupReport(TReportData& data, int team, int option);

// Both teams' stints and the rosters as the report was made; rows of the last generation:
// TeamPlayers ("4. Ana Pérez 7. ...") and TeamScore.
class TLineupEfficiencyConnection final : public TDataConnection {
 public:
  // The stints and rosters are read once; the model outlives the connection and gives the scores.
  TLineupEfficiencyConnection(const TModel& model, const TMessageSource& messages);
  TStatus Generate(int team, int option);
  const std::string& TeamName(int team) const { return TeamNames_[team == 1 ? 0 : 1]; }
  const std::string& OptionLabel(int option) const { return OptionLabels_[static_cast<std::size_t>(option)]; }

  int Open() override { return static_cast<int>(Rows_.size()); }
  std::vector<TReportColumn> Columns() override;
  // Every pass over the rows reads them by index, so a pass that stops early never shifts the next.
  std::vector<std::string> Row(int index) override;

 private:
  struct TPlayerEntry {
    int Team = 0;
    int Number = 0;
    std::string Text;  // "7. Ana Pérez "
  };
  std::string PlayersText(const TStint& entry, int team) const;

  const TModel& Model_;
  std::array<std::vector<TStint>, 2> Stints_;
  std::vector<TPlayerEntry> Players_;
  std::array<std::string, 2> TeamNames_;
  std::array<std::string, 7> OptionLabels_;
  std::vector<std::array<std::string, 2>> Rows_;
};

}  // namespace velmora
