#pragma once
// The media box score: every player's and team's line, the score at every half of the regular
// periods and the game's flow (leads, runs, ties), all as report parameters.

#include <string>
#include <vector>

#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

// The game flow from a sequence of baskets: each one's points, positive for team 1 and negative
// for team 2.
class TLeadTracker {
 public:
  void Score(int points);

  int Difference = 0;
  int Leader = 0;  // 0 before anyone led, else the team that led last
  int LeadChanges = 0;
  int Ties = 0;
  int BiggestLead1 = 0;
  int BiggestLead2 = 0;  // 0 or below
  int Running1 = 0;
  int Running2 = 0;
  int Run1 = 0;
  int Run2 = 0;
  int BestRun1 = 0;
  int BestRun2 = 0;
  std::string BestRun1Score;  // "25-14" when the best run was reached
  std::string BestRun2Score;
};

// The baskets of the regular periods as the tracker takes them: the half-period scores (running
// totals per team, 8 halves) and the flow.
struct TRegularScoring {
  std::vector<int> Team1 = std::vector<int>(8);
  std::vector<int> Team2 = std::vector<int>(8);
  TLeadTracker Flow;
};
TRegularScoring RegularScoring(const TModel& model);

void DefineMediaBoxScoreReport(TReportData& data);
// Portrait; the common header, the player lines, the team lines and totals, the half-period scores,
// the short names, the game flow and the scoring split.
void FillMediaBoxScoreReport(TReportData& data, const TModel& model, const TMessageSource& messages);

}  // namespace velmora
