#include "reports/box_score_report.h"

#include <algorithm>

#include "platform/configuration.h"
#include "records/date_time.h"
#include "records/game_time.h"
#include "records/text_utils.h"
#include "reports/common_header.h"
#include "stats/derived_scoring.h"
#include "stats/efficiency.h"
#include "stats/model.h"

namespace velmora {

namespace {

std::string TeamLetter(int team) { return team == 1 ? "A" : "B"; }

void SetGame(TReportData& data, const TModel& model) {
  const TMatchInfo& match = model.MatchInfo;
  data.SetParameter("G_GameNo", match.GameNumber);
  data.SetParameter("G_Competition", match.Competition);
  if (match.Spectators > 0) data.SetParameter("G_Spectators", std::to_string(match.Spectators));
  data.SetParameter("G_Date", FormatDateTime(match.Time));
  data.SetParameter("G_Place", match.Place + " " + match.Field);
  data.SetParameter("G_Referee1", match.Referee1);
  data.SetParameter("G_Referee2", match.Referee2);
  data.SetParameter("G_Referee3", match.Referee3);
  data.SetParameter("G_Referee4", match.Referee4);
  data.SetParameter("TeamA", match.Team1.Name);
  data.SetParameter("TeamB", match.Team2.Name);
  data.SetParameter("CoachA", match.Team1.Coach);
  data.SetParameter("CoachB", match.Team2.Coach);

  // Live or delayed, complete or partial coverage.
  static constexpr const char* kMarks[][2] = {
      {"G_TV0", nullptr}, {"G_TV1", "G_TV2"}, {"G_TV3", "G_TV2"}, {"G_TV1", "G_TV4"}, {"G_TV3", "G_TV4"}};
  if (match.TV >= 0 && match.TV <= 4) {
    for (const char* mark : kMarks[match.TV]) {
      if (mark) data.SetParameter(mark, "X");
    }
  }

  const auto [points1, points2] = model.Score();
  data.SetParameter("G_FinalA", std::to_string(points1));
  data.SetParameter("G_FinalB", std::to_string(points2));
  const auto periods = model.PeriodScores();
  for (std::size_t n = 1; n <= periods.size(); ++n) {
    data.SetParameter("Q" + std::to_string(n) + "A", std::to_string(periods[n - 1].first));
    data.SetParameter("Q" + std::to_string(n) + "B", std::to_string(periods[n - 1].second));
  }
}

void SetCounts(TReportData& data, const TIntegerHash& table, std::initializer_list<const char*> keys,
               const std::string& prefix, const std::string& suffix) {
  for (const char* key : keys) data.SetParameter(prefix + key + suffix, std::to_string(table.Get(key)));
}

void SetPlayers(TReportData& data, const TModel& model, int team) {
  const TTeam& roster = model.MatchInfo.Team(team);
  const std::string formula = model.Config().GetString("eff_formula");
  const int foulLimit = model.Config().GetInt("fouls_per_player");
  const std::vector<int> plusMinus = PlusMinusTotals(model, team);
  for (int position = 1; position <= model.StatPlayerCount(team); ++position) {
    const TPlayer& player = roster.Player(position);
    const TIntegerHash& table = model.Stats(TModel::PlayerSlot(team, position));
    const std::string place = BoxScorePlace(team, position);
    data.SetParameter("No" + place, ShirtText(player.Number));
    data.SetParameter("Name" + place, player.Name + " " + player.Surname);
    data.SetParameter("MIN" + place, MinutesSecondsText(table.Get("MIN")));
    data.SetParameter("STA" + place, table.Get("STA") != 0 ? "*" : "");
    SetCounts(data, table, {"P2M", "P2A", "P3M", "P3A", "P1M", "P1A", "RO", "RD", "RT", "AS", "TO", "RF"}, "", place);
    data.SetParameter("PF" + place, std::to_string(std::min(table.Get("PF"), foulLimit)));
    SetCounts(data, table, {"BS", "BR", "ST"}, "", place);
    data.SetParameter("PT" + place, std::to_string(table.Get("PTS")));
    data.SetParameter("EF" + place, EfficiencyText(Efficiency(table, formula)));
    data.SetParameter("PLVAL" + place, std::to_string(plusMinus[static_cast<std::size_t>(position)]));
  }
}

void SetTeamLine(TReportData& data, const TModel& model, int team) {
  const TIntegerHash& table = model.Stats(model.EntitySlot(team));
  const std::string place = TeamLetter(team) + std::to_string(kTeamLinePosition);
  SetCounts(data, table, {"RO", "RD", "RT", "AS", "TO", "PF", "RF", "BS", "BR", "ST"}, "", place);
  data.SetParameter("EF" + place, EfficiencyText(Efficiency(table, model.Config().GetString("eff_formula"))));
}

void SetTotals(TReportData& data, const TModel& model, int team) {
  const TIntegerHash& table = model.Stats(TModel::TotalsSlot(team));
  const std::string letter = TeamLetter(team);
  const std::string teamText = std::to_string(team);
  data.SetParameter(letter + "TotMIN", MinutesSecondsText(table.Get("MIN")));
  SetCounts(data, table,
            {"P2M", "P2A", "P3M", "P3A", "P1M", "P1A", "RO", "RD", "RT", "AS", "TO", "PF", "RF", "BS", "BR", "ST"},
            letter + "Tot", "");
  data.SetParameter(letter + "TotPT", std::to_string(table.Get("PTS")));
  data.SetParameter(letter + "PAL", std::to_string(PointsAfterTurnovers(model.Actions(), teamText)));
  data.SetParameter(letter + "PSC", std::to_string(SecondChancePoints(model.Actions(), teamText)));
  data.SetParameter(letter + "PCA", std::to_string(CounterAttackPoints(model.Actions(), teamText)));
  data.SetParameter(letter + "PIZ", std::to_string(PointsInZone(model.Actions(), teamText)));
  data.SetParameter(letter + "PIBH", std::to_string(BenchPoints(model, teamText)));
  data.SetParameter(letter + "Perc2", PercentText(table.Get("P2M"), table.Get("P2A")));
  data.SetParameter(letter + "Perc3", PercentText(table.Get("P3M"), table.Get("P3A")));
  data.SetParameter(letter + "Perc1", PercentText(table.Get("P1M"), table.Get("P1A")));
  data.SetParameter(letter + "TotEF", EfficiencyText(Efficiency(table, model.Config().GetString("eff_formula"))));
}

}  // namespace

void DefineBoxScoreReport(TReportData& data) {
  data.ProjectFileName = "boxscore.rav";
  data.ReportName = "BOXSCORE";
  data.Caption = "Puntuación oficial";
}

void FillBoxScoreReport(TReportData& data, const TModel& model, const TMessageSource&) {
  SetGame(data, model);
  for (int team = 1; team <= 2; ++team) {
    SetPlayers(data, model, team);
    SetTeamLine(data, model, team);
    SetTotals(data, model, team);
  }
}

std::string BoxScorePlace(int team, int position) {
  return TeamLetter(team) + std::to_string(position < kTeamLinePosition ? position : position + 1);
}

bool StatisticsTransferOffered(const TModel& model) {
  return model.IsOnline() && model.MatchInfo.AtOvertimeBoundary(PeriodSettingsOf(model.Config()));
}

TResult<TScoreConfirmation> ReadScoreConfirmation(std::string_view score1, std::string_view score2,
                                                  std::string_view name, std::string_view contacts) {
  const auto first = ParseInt32(Trimmed(score1));
  if (!first) return TError{"Invalid score for first team"};
  const auto second = ParseInt32(Trimmed(score2));
  if (!second) return TError{"Invalid score for second team"};
  if (Trimmed(name).empty() && Trimmed(contacts).empty()) {
    return TError{"Please enter either your name and/or contact details."};
  }
  return TScoreConfirmation{*first, *second, std::string(name), std::string(contacts)};
}

bool ScoresAsInStatistics(const TScoreConfirmation& confirmation, const TModel& model) {
  const auto [points1, points2] = model.Score();
  return confirmation.Score1 == points1 && confirmation.Score2 == points2;
}

}  // namespace velmora
