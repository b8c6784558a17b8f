#include "reports/common_header.h"

#include <algorithm>

#include "records/date_time.h"
#include "stats/model.h"

namespace velmora {

namespace {

// Label, " : " and the names that are not empty; none unless the first name is given.
std::string OfficialsText(const std::string& label, std::initializer_list<const std::string*> names) {
  std::string text;
  for (const std::string* name : names) {
    if (name->empty()) continue;
    text += text.empty() ? label + " : " : ", ";
    text += *name;
  }
  return text;
}

}  // namespace

void SetCommonHeader(TReportData& data, const TModel& model, const TMessageSource& messages, THeaderScores scores,
                     std::string_view notStarted) {
  const TMatchInfo& match = model.MatchInfo;
  data.SetParameter("GAMENR", match.GameNumber);
  data.SetParameter("GAMETYPE", match.Competition);
  if (match.Spectators > 0) data.SetParameter("ATTENDANCE", " : " + std::to_string(match.Spectators));
  data.SetParameter("GAMEDATE", FormatDate(match.Time));
  data.SetParameter("GAMETIME", FormatLongTime(match.Time));
  data.SetParameter("GAMEPLACE", match.Place + ", " + match.Field);
  // Referees 2 to 4 count only after the first.
  if (!match.Referee1.empty()) {
    data.SetParameter("REFEREES", OfficialsText(messages.Message("Referees"),
                                                {&match.Referee1, &match.Referee2, &match.Referee3, &match.Referee4}));
  }
  if (!match.Commissioner.empty()) {
    data.SetParameter("COMMISSIONER", OfficialsText(messages.Message("Commissioner"), {&match.Commissioner}));
  }
  data.SetParameter("T1COUNTRY", match.Team1.Name);
  data.SetParameter("T2COUNTRY", match.Team2.Name);
  data.SetParameter("T1COACH", match.Team1.Coach);
  data.SetParameter("T2COACH", match.Team2.Coach);
  if (scores == THeaderScores::Without) return;
  const auto [points1, points2] = model.Score();
  data.SetParameter("T1FINALSCORE", std::to_string(points1));
  data.SetParameter("T2FINALSCORE", std::to_string(points2));
  data.SetParameter("QuarterScoresTop", QuarterScoresText(model, notStarted));
}

std::string QuarterScoresText(const TModel& model, std::string_view notStarted) {
  if (model.CurrentPeriod() == 0) return "(" + std::string(notStarted) + ")";
  const auto periods = model.PeriodScores();
  const std::size_t shown = std::min(periods.size(), static_cast<std::size_t>(std::max(0, model.CurrentPeriod())));
  std::string text = "(";
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(periods[i].first) + "-" + std::to_string(periods[i].second);
  }
  return text + ")";
}

long long PercentTenths(int made, int attempted) {
  if (attempted < 1) return 0;
  // Exactly: made * 1000 / attempted with the half to the even neighbour.
  const long long numerator = static_cast<long long>(made) * 1000;
  long long tenths = numerator / attempted;
  const long long remainder = numerator % attempted;
  if (remainder * 2 > attempted || (remainder * 2 == attempted && tenths % 2 != 0)) ++tenths;
  return tenths;
}

std::string PercentText(int made, int attempted) {
  long long tenths = PercentTenths(made, attempted);
  const std::string sign = tenths < 0 ? "-" : "";
  tenths = tenths < 0 ? -tenths : tenths;
  return sign + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace velmora
