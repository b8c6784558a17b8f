#pragma once
// The official box score: every figure of both teams as report parameters (no data connections),
// the rule that shows the statistics transfer, and the checks of the confirmed final score.

#include <string>
#include <string_view>

#include "records/message_source.h"
#include "records/result.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

void DefineBoxScoreReport(TReportData& data);
// Landscape, 2 copies; the game, the period scores, then per team its players, the team line and
// the totals.
void FillBoxScoreReport(TReportData& data, const TModel& model, const TMessageSource& messages);

// The place suffix of the player at roster position `position` (from 1) of team `team`: "A1" to
// "A12", then "A14" on, since "A13" is the team line's.
std::string BoxScorePlace(int team, int position);
inline constexpr int kTeamLinePosition = 13;

// The transfer is offered for a game on the server whose clock stands at the end of regulation
// time or of an overtime.
bool StatisticsTransferOffered(const TModel& model);

// What the operator confirms before the transfer.
struct TScoreConfirmation {
  int Score1 = 0;
  int Score2 = 0;
  std::string Name;
  std::string Contacts;
};

// The entered texts as a confirmation, or the first message of the checks that fail.
TResult<TScoreConfirmation> ReadScoreConfirmation(std::string_view score1, std::string_view score2,
                                                  std::string_view name, std::string_view contacts);
// True when both scores are the model's totals.
bool ScoresAsInStatistics(const TScoreConfirmation& confirmation, const TModel& model);

inline constexpr const char* kScoreDiffersQuestion =
    "The score you entered is different than the score in final statistics.\n\rSend anyway?";

}  // namespace velmora
