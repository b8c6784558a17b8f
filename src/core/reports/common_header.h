#pragma once
// The header parameters that almost every report shares: the game's data, the officials, both
// teams and, when asked for, the scores.

#include <string>
#include <string_view>

#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

enum class THeaderScores { Without, With };

// GAMENR to T2COACH, and with scores T1FINALSCORE, T2FINALSCORE and QuarterScoresTop. The labels
// "Referees" and "Commissioner" are messages; `notStarted` stands in the period scores before the
// first period.
void SetCommonHeader(TReportData& data, const TModel& model, const TMessageSource& messages, THeaderScores scores,
                     std::string_view notStarted = "Game not started");

// "(18-20, 25-17)": the scores of the periods up to the current one, or the not-started text.
std::string QuarterScoresText(const TModel& model, std::string_view notStarted);

// The text of a percentage of made over attempted with one decimal ("66.7"), the half to the even
// neighbour; "0.0" when nothing was attempted.
std::string PercentText(int made, int attempted);
// The same percentage in tenths (667); 0 when nothing was attempted.
long long PercentTenths(int made, int attempted);

}  // namespace velmora
